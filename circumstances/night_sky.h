// The Sun and the Moon at a site in the hours around one eclipse, and the
// instants of that night: rises and sets of the upper limbs, local apparent
// midnight. Pure functions of the entry, the site and ΔT.
//
// Times t are hours of TT counted from the entry's epochHour; ΔT is in
// seconds; angles are degrees. A night instant is found in TT and its UT is
// t − ΔT, as for the eclipse's own instants.
#pragma once

#include <optional>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"

namespace tarvo {

// Geocentric apparent places, true equator and equinox of date, degrees.
struct SunMoonPlace {
  double moonRaDeg, moonDecDeg;
  double moonParallaxDeg;  // horizontal parallax
  double sunRaDeg, sunDecDeg;
  double siderealDeg;      // Greenwich sidereal angle with the clock reading TT taken as UT
};

// The places tabulated hourly over a span of TT around an eclipse. The
// entry's elements hold only P1 − 30 min .. P4 + 30 min, so the shape of the
// motion comes from theories (ERFA's Moon98 precessed by the long-term
// precession; the Sun's low-precision mean-element theory) and its level from
// the elements: the theory's offset from them is measured at P1 and at P4 and
// carried on linearly in time. Within the contacts the places agree with the
// elements to well under an arcsecond; a day away the anchored theory's
// error grows to a few arcseconds (a second of time at the horizon).
class NightSkyTrack {
 public:
  // Tabulates from greatest eclipse − spanHours to greatest eclipse +
  // spanHours (the circumstances must have converged).
  NightSkyTrack(const EclipseCircumstances& eclipse, double spanHours);

  // The places at tHours (cubic interpolation); nullopt outside the span.
  std::optional<SunMoonPlace> placeAt(double tHours) const;
  double firstHours() const { return firstHours_; }
  double lastHours() const { return firstHours_ + static_cast<double>(samples_.size() - 1) * kStepHours; }

 private:
  static constexpr double kStepHours = 1.0;
  EclipseRecord record_;
  double firstHours_ = 0;
  std::vector<SunMoonPlace> samples_;  // right ascensions unwrapped
};

// The site's instants near an eclipse at one ΔT. Every time is TT hours from
// epochHour, nullopt when the event does not happen within the track.
enum class NightEvent { kSunset, kSunrise, kMoonrise, kMoonset, kMidnight };

// The Sun's upper limb on the horizon with 34′ of refraction: its centre at
// −(16′ + 34′) geocentric.
inline constexpr double kSunRiseAltitudeDeg = -50.0 / 60.0;
// Rises, sets and transits are found by stepping this far and then halving
// the bracket down to kNightEventToleranceHours.
inline constexpr double kNightScanStepHours = 1.0 / 6.0;
inline constexpr double kNightEventToleranceHours = 0.1 / 3600.0;

// The Moon's or the Sun's geocentric altitude at the site, degrees, and the
// altitude its centre has when the upper limb is on the horizon.
struct BodyAltitude {
  double altitudeDeg;
  double horizonDeg;
};
BodyAltitude moonAltitude(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds);
BodyAltitude sunAltitude(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds);
// The Sun's local hour angle, degrees in [−180, 180).
double sunHourAngleDeg(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds);

// Every instant of one kind within [fromHours, toHours], in time order
// (midnight: the Sun's lower transit).
std::vector<double> nightEventsBetween(const NightSkyTrack& track, const SiteValues& site,
                                       double deltaTSeconds, NightEvent kind, double fromHours,
                                       double toHours);

// The night of an instant: from a sunset to the next sunrise. The night that
// holds tHours, or, when the Sun is up then, the night whose sunset or
// sunrise is nearer; nullopt when the track shows none (polar day or night).
struct Night {
  double sunsetHours, sunriseHours;
  double seasonalHourHours() const { return (sunriseHours - sunsetHours) / 12.0; }
};
std::optional<Night> nightOf(const NightSkyTrack& track, const SiteValues& site, double deltaTSeconds,
                             double tHours);

// The instant of the kind that belongs to tHours: sunset and sunrise of
// nightOf, the moonrise, moonset or lower transit nearest tHours.
std::optional<double> nightEventNear(const NightSkyTrack& track, const SiteValues& site,
                                     double deltaTSeconds, NightEvent kind, double tHours);

}  // namespace tarvo
