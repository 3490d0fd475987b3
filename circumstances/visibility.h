// Whether an eclipse can be seen from a site: the Moon's altitude over the
// main phase, its class, and the altitudes shown with it. Pure functions of
// an eclipse's circumstances (record, contacts, ΔT) and a site.
//
// Times t are hours of TT from the entry's epochHour; angles are degrees.
// The Moon counts as up when its upper limb stands above the horizon for an
// observer at the site with standard refraction: for the geocentric centre,
// altitude above h0 = 0.7275 π − 0°34′ (π the Moon's horizontal parallax).
#pragma once

#include <array>
#include <optional>

#include "catalogue/eclipse_record.h"
#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"
#include "circumstances/phase_seen.h"
#include "timebase/time_scales.h"

namespace tarvo {

enum class VisibilityClass {
  Visible,     // up throughout the main phase
  AtMoonrise,  // down at its start, up at its end
  AtMoonset,   // up at its start, down at its end
  Partly,      // up for part of it otherwise (rising and setting within it)
  None,        // down throughout
};

// "visible", "at-moonrise", "at-moonset", "partly", "none".
const char* visibilityClassName(VisibilityClass c);

// Refraction at the horizon, degrees (34′).
inline constexpr double kHorizonRefractionDeg = 34.0 / 60.0;
// The Moon's radius over the Earth's equatorial radius, as the catalogue uses.
inline constexpr double kMoonRadiusEarthRadii = 0.2725076;
// A penumbral eclipse below this penumbral magnitude is hard to notice by eye.
inline constexpr double kFaintPenumbralMagnitude = 0.7;

// The Moon's horizontal parallax, degrees, from the elements: lu − lt is the
// Moon's diameter, and sin π = sin s / k.
double moonParallaxDeg(const EclipseElements& e);

// h0 = 0.7275 π − 34′: the geocentric altitude of the Moon's centre when its
// upper limb appears on the horizon.
double moonRiseAltitudeDeg(double parallaxDeg);

// Standard refraction (Sæmundsson, 10 °C, 1010 hPa) for a true altitude,
// degrees. Below −34′ the horizon's value fades linearly to 0 at −5°.
double refractionDeg(double trueAltitudeDeg);

// The Moon's altitude at a site at tHours, the Earth's rotation taken back by
// deltaTSeconds.
struct MoonAltitude {
  double geocentricDeg;  // as the local report's, no refraction
  double riseLimitDeg;   // h0 at that time
  double apparentDeg;    // topocentric (site's height on the ellipsoid), refracted
  double azimuthDeg;     // topocentric, from the north through the east, 0 ≤ A < 360
  // The parallactic angle, topocentric: how far celestial north at the Moon
  // is turned from the direction to the zenith, positive toward the west
  // (west of the meridian), −180 < q ≤ 180.
  double parallacticAngleDeg;
};
MoonAltitude moonAltitudeAt(const EclipseRecord& r, const SiteValues& site, double tHours,
                            double deltaTSeconds);

// The Sun's geocentric true altitude of its centre at tHours (degrees, the
// twilight convention: no refraction), from the shadow axis of the elements.
double sunAltitudeAt(const EclipseRecord& r, const SiteValues& site, double tHours, double deltaTSeconds);

// The class over the main phase [tStartHours, tEndHours].
VisibilityClass visibilityClassOver(const EclipseRecord& r, const SiteValues& site, double tStartHours,
                                    double tEndHours, double deltaTSeconds);

// Contacts in the order P1, U1, U2, U3, U4, P4.
inline constexpr int kContactCount = 6;

struct Visibility {
  VisibilityClass visibilityClass = VisibilityClass::None;
  bool uncertain = false;  // the class differs at ΔT − σ or ΔT + σ
  bool faint = false;      // penumbral eclipse of penumbral magnitude below 0.7
  bool converged = false;  // the contacts converged; otherwise nothing else is to be shown
  CalendarDate greatestLocal{};  // local standard date and hour of greatest eclipse
  std::array<std::optional<double>, kContactCount> contactAltitudeDeg;  // apparent, absent: no contact
  double greatestAltitudeDeg = 0;  // apparent
  double sunAltitudeDeg = 0;       // at greatest eclipse, true
  PhaseSeen seen;                  // the phases seen, the sky at each contact
};

// The main phase: U1..U4 when the eclipse has umbral contacts, else P1..P4.
struct MainPhase {
  double startHours, endHours;
};
MainPhase mainPhaseOf(const ContactTimes& c);

// The visibility of an eclipse at a site, at the eclipse's ΔT; uncertain
// compares the class at ΔT ± deltaTSigmaSeconds (1σ).
Visibility visibilityAt(const EclipseCircumstances& eclipse, const SiteValues& site, double deltaTSigmaSeconds);

}  // namespace tarvo
