#include "circumstances/night_sky.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/angles.h"
#include "base/constants.h"
#include "circumstances/elements_sky.h"
#include "circumstances/visibility.h"

namespace tarvo {

namespace {

constexpr double kEarthRadiusKm = kWgs84EquatorialRadiusM / 1000.0;

struct Radec {
  double raDeg, decDeg;
};

Radec radecOf(const double v[3]) {
  return {radToDeg(std::atan2(v[1], v[0])), radToDeg(std::atan2(v[2], std::hypot(v[0], v[1])))};
}

// The Moon by ERFA's Moon98 (GCRS), turned to the mean equator and equinox of
// date by the long-term precession; jdTT a TT Julian Day. Also the distance, km.
Radec moonByTheory(double jdTT, double& distanceKm) {
  double pv[2][3];
  eraMoon98(jdTT, 0.0, pv);
  double rp[3][3];
  eraLtp(eraEpj(jdTT, 0.0), rp);
  double v[3];
  eraRxp(rp, pv[0], v);
  distanceKm = eraPm(v) * ERFA_DAU / 1000.0;
  return radecOf(v);
}

// The Sun by mean elements and the equation of the centre (about 0.01° near
// the present; only its motion over a day is used).
Radec sunByTheory(double jdTT) {
  const double t = (jdTT - kJ2000) / kDaysPerJulianCentury;
  const double meanLongitude = 280.46646 + t * (36000.76983 + t * 0.0003032);
  const double m = degToRad(357.52911 + t * (35999.05029 - t * 0.0001537));
  const double centre = (1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
                        (0.019993 - t * 0.000101) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
  const double lambda = degToRad(meanLongitude + centre);
  const double obliquity = degToRad(23.439291 - t * 0.0130042);
  return {radToDeg(std::atan2(std::cos(obliquity) * std::sin(lambda), std::cos(lambda))),
          radToDeg(std::asin(std::sin(obliquity) * std::sin(lambda)))};
}

// The theory's places at tHours; jdOfHour turns hours into a TT Julian Day.
SunMoonPlace theoryPlace(double jdTT) {
  SunMoonPlace p{};
  double distanceKm = 0;
  const Radec moon = moonByTheory(jdTT, distanceKm);
  const Radec sun = sunByTheory(jdTT);
  p.moonRaDeg = moon.raDeg;
  p.moonDecDeg = moon.decDeg;
  p.moonParallaxDeg = radToDeg(std::asin(kEarthRadiusKm / distanceKm));
  p.sunRaDeg = sun.raDeg;
  p.sunDecDeg = sun.decDeg;
  return p;
}

// The elements' own places at tHours (ΔT plays no part in them).
SunMoonPlace elementsPlace(const EclipseRecord& r, double tHours) {
  const EclipseElements e = elementsAt(r, tHours);
  const ElementsSky sky = skyFromElements(r, tHours, 0.0);
  return {e.ra, e.dec, moonParallaxDeg(e), sky.sunRaDeg, sky.sunDecDeg, e.gst};
}

// Elements minus theory, right ascensions wrapped.
SunMoonPlace offsetOf(const SunMoonPlace& elements, const SunMoonPlace& theory) {
  return {angleDiffDeg(elements.moonRaDeg, theory.moonRaDeg), elements.moonDecDeg - theory.moonDecDeg,
          elements.moonParallaxDeg - theory.moonParallaxDeg, angleDiffDeg(elements.sunRaDeg, theory.sunRaDeg),
          elements.sunDecDeg - theory.sunDecDeg, 0.0};
}

double cubicAt(const double y[4], double u) {
  // Lagrange through u = −1, 0, 1, 2.
  return -u * (u - 1) * (u - 2) / 6 * y[0] + (u + 1) * (u - 1) * (u - 2) / 2 * y[1] -
         (u + 1) * u * (u - 2) / 2 * y[2] + (u + 1) * u * (u - 1) / 6 * y[3];
}

double altitudeDeg(double hourAngleDeg, double decDeg, double latitudeDeg) {
  const double h = degToRad(hourAngleDeg), d = degToRad(decDeg), phi = degToRad(latitudeDeg);
  return radToDeg(std::asin(std::clamp(
      std::cos(h) * std::cos(d) * std::cos(phi) + std::sin(d) * std::sin(phi), -1.0, 1.0)));
}

// The site's local sidereal angle, degrees: the hour angle of right ascension 0.
double localSiderealDeg(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds) {
  EclipseElements e{};
  e.gst = p.siderealDeg;
  return moonHourAngleDeg(e, site.longitudeDeg, deltaTSeconds);
}

// Where f, sampled every kNightScanStepHours over [from, to], crosses zero in
// the wanted direction: the bracket halved down to the tolerance. A crossing
// counts only where both sides lie within `continuity` of zero (f may wrap).
std::vector<double> crossings(const std::function<std::optional<double>(double)>& f, double from, double to,
                              bool upward, double continuity) {
  std::vector<double> out;
  std::optional<double> previous = f(from);
  for (double a = from; a < to; a += kNightScanStepHours) {
    const double b = std::min(a + kNightScanStepHours, to);
    const std::optional<double> next = f(b);
    if (previous && next && std::fabs(*previous) < continuity && std::fabs(*next) < continuity &&
        (upward ? (*previous <= 0 && *next > 0) : (*previous > 0 && *next <= 0))) {
      double lo = a, hi = b;
      for (int i = 0; i < 64 && hi - lo > kNightEventToleranceHours; ++i) {
        const double mid = 0.5 * (lo + hi);
        const std::optional<double> v = f(mid);
        if (!v) break;
        if ((*v > 0) == upward) hi = mid; else lo = mid;
      }
      out.push_back(0.5 * (lo + hi));
    }
    previous = next;
  }
  return out;
}

}  // namespace

NightSkyTrack::NightSkyTrack(const EclipseCircumstances& eclipse, double spanHours)
    : record_(eclipse.record) {
  const double tG = eclipse.greatestHours;
  // TT Julian Day of greatest eclipse: the catalogue's UT instant plus ΔT.
  const double jdG = eclipse.greatestJd + eclipse.deltaTSeconds / kSecondsPerDay;
  const auto jdOf = [&](double t) { return jdG + (t - tG) / 24.0; };
  const double tA = eclipse.contacts.p1, tB = eclipse.contacts.p4;
  const SunMoonPlace offA = offsetOf(elementsPlace(record_, tA), theoryPlace(jdOf(tA)));
  const SunMoonPlace offB = offsetOf(elementsPlace(record_, tB), theoryPlace(jdOf(tB)));
  const int n = static_cast<int>(std::ceil(spanHours / kStepHours));
  firstHours_ = tG - n * kStepHours;
  samples_.reserve(static_cast<std::size_t>(2 * n + 1));
  for (int i = 0; i <= 2 * n; ++i) {
    const double t = firstHours_ + i * kStepHours;
    const double w = tB > tA ? (t - tA) / (tB - tA) : 0.0;
    const auto carried = [w](double a, double b) { return a + w * (b - a); };
    SunMoonPlace p = theoryPlace(jdOf(t));
    p.moonRaDeg += carried(offA.moonRaDeg, offB.moonRaDeg);
    p.moonDecDeg += carried(offA.moonDecDeg, offB.moonDecDeg);
    p.moonParallaxDeg += carried(offA.moonParallaxDeg, offB.moonParallaxDeg);
    p.sunRaDeg += carried(offA.sunRaDeg, offB.sunRaDeg);
    p.sunDecDeg += carried(offA.sunDecDeg, offB.sunDecDeg);
    p.siderealDeg = elementsAt(record_, t).gst;  // linear in t: it carries on exactly
    if (!samples_.empty()) {
      // Unwrapped, so that the interpolation never crosses 0°/360°.
      p.moonRaDeg = samples_.back().moonRaDeg + angleDiffDeg(p.moonRaDeg, samples_.back().moonRaDeg);
      p.sunRaDeg = samples_.back().sunRaDeg + angleDiffDeg(p.sunRaDeg, samples_.back().sunRaDeg);
    }
    samples_.push_back(p);
  }
}

std::optional<SunMoonPlace> NightSkyTrack::placeAt(double tHours) const {
  if (!(tHours >= firstHours_ && tHours <= lastHours())) return std::nullopt;
  const double x = (tHours - firstHours_) / kStepHours;
  const long last = static_cast<long>(samples_.size()) - 1;
  const long i = std::clamp(static_cast<long>(std::floor(x)), 1L, std::max(1L, last - 2));
  if (last < 3) return samples_[static_cast<std::size_t>(std::lround(x))];
  const double u = x - static_cast<double>(i);
  const auto at = [&](double SunMoonPlace::*field) {
    double y[4];
    for (int k = 0; k < 4; ++k) y[k] = samples_[static_cast<std::size_t>(i - 1 + k)].*field;
    return cubicAt(y, u);
  };
  SunMoonPlace p{};
  p.moonRaDeg = at(&SunMoonPlace::moonRaDeg);
  p.moonDecDeg = at(&SunMoonPlace::moonDecDeg);
  p.moonParallaxDeg = at(&SunMoonPlace::moonParallaxDeg);
  p.sunRaDeg = at(&SunMoonPlace::sunRaDeg);
  p.sunDecDeg = at(&SunMoonPlace::sunDecDeg);
  p.siderealDeg = elementsAt(record_, tHours).gst;
  return p;
}

BodyAltitude moonAltitude(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds) {
  const double hourAngle = localSiderealDeg(p, site, deltaTSeconds) - p.moonRaDeg;
  return {altitudeDeg(hourAngle, p.moonDecDeg, site.latitudeDeg), moonRiseAltitudeDeg(p.moonParallaxDeg)};
}

BodyAltitude sunAltitude(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds) {
  return {altitudeDeg(sunHourAngleDeg(p, site, deltaTSeconds), p.sunDecDeg, site.latitudeDeg),
          kSunRiseAltitudeDeg};
}

double sunHourAngleDeg(const SunMoonPlace& p, const SiteValues& site, double deltaTSeconds) {
  return angleDiffDeg(localSiderealDeg(p, site, deltaTSeconds) - p.sunRaDeg, 0.0);
}

std::vector<double> nightEventsBetween(const NightSkyTrack& track, const SiteValues& site,
                                       double deltaTSeconds, NightEvent kind, double fromHours,
                                       double toHours) {
  const double from = std::max(fromHours, track.firstHours());
  const double to = std::min(toHours, track.lastHours());
  if (!(from < to)) return {};
  const auto aboveHorizon = [&](bool moon) {
    return [&, moon](double t) -> std::optional<double> {
      const std::optional<SunMoonPlace> p = track.placeAt(t);
      if (!p) return std::nullopt;
      const BodyAltitude a = moon ? moonAltitude(*p, site, deltaTSeconds) : sunAltitude(*p, site, deltaTSeconds);
      return a.altitudeDeg - a.horizonDeg;
    };
  };
  switch (kind) {
    case NightEvent::kSunset: return crossings(aboveHorizon(false), from, to, false, 180.0);
    case NightEvent::kSunrise: return crossings(aboveHorizon(false), from, to, true, 180.0);
    case NightEvent::kMoonset: return crossings(aboveHorizon(true), from, to, false, 180.0);
    case NightEvent::kMoonrise: return crossings(aboveHorizon(true), from, to, true, 180.0);
    case NightEvent::kMidnight: {
      // The hour angle from 180°: it rises through 0 at the lower transit and
      // wraps from +180 to −180 at the upper one.
      const auto fromLowerTransit = [&](double t) -> std::optional<double> {
        const std::optional<SunMoonPlace> p = track.placeAt(t);
        if (!p) return std::nullopt;
        return angleDiffDeg(sunHourAngleDeg(*p, site, deltaTSeconds), 180.0);
      };
      return crossings(fromLowerTransit, from, to, true, 90.0);
    }
  }
  return {};
}

namespace {

// Events are looked for this far on either side of the instant they belong to.
constexpr double kNightReachHours = 36.0;

std::optional<double> nearest(const std::vector<double>& times, double tHours) {
  std::optional<double> best;
  for (const double t : times)
    if (!best || std::fabs(t - tHours) < std::fabs(*best - tHours)) best = t;
  return best;
}

}  // namespace

std::optional<Night> nightOf(const NightSkyTrack& track, const SiteValues& site, double deltaTSeconds,
                             double tHours) {
  const double from = tHours - kNightReachHours, to = tHours + kNightReachHours;
  const std::vector<double> sets = nightEventsBetween(track, site, deltaTSeconds, NightEvent::kSunset, from, to);
  const std::vector<double> rises = nightEventsBetween(track, site, deltaTSeconds, NightEvent::kSunrise, from, to);
  std::optional<Night> best;
  double bestDistance = 0;
  for (const double set : sets) {
    const auto rise = std::find_if(rises.begin(), rises.end(), [set](double r) { return r > set; });
    if (rise == rises.end()) continue;
    const Night night{set, *rise};
    const double distance =
        tHours < set ? set - tHours : (tHours > night.sunriseHours ? tHours - night.sunriseHours : 0.0);
    if (!best || distance < bestDistance) {
      best = night;
      bestDistance = distance;
    }
  }
  return best;
}

std::optional<double> nightEventNear(const NightSkyTrack& track, const SiteValues& site,
                                     double deltaTSeconds, NightEvent kind, double tHours) {
  if (kind == NightEvent::kSunset || kind == NightEvent::kSunrise) {
    const std::optional<Night> night = nightOf(track, site, deltaTSeconds, tHours);
    if (!night) return std::nullopt;
    return kind == NightEvent::kSunset ? night->sunsetHours : night->sunriseHours;
  }
  return nearest(nightEventsBetween(track, site, deltaTSeconds, kind, tHours - kNightReachHours,
                                    tHours + kNightReachHours),
                 tHours);
}

}  // namespace tarvo
