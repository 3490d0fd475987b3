#include "circumstances/geometry.h"

#include <algorithm>
#include <cmath>

#include "core/session_state.h"

namespace tarvo {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
// Sidereal rotation during ΔT: degrees per second of ΔT.
constexpr double kSiderealDegPerSecond = 0.00417807;
// Ratio of sidereal to solar time.
constexpr double kSiderealPerSolar = 1.00273790935;

bool stepConverged(double step, double t) {
  return std::fabs(step) <= kStepToleranceHours && std::isfinite(t);
}

// Newton's method on the distance from the shadow axis, from tStart.
// Zero motion or NaN make the step NaN, which ends the loop unconverged.
double iterateGreatest(const EclipseRecord& r, double tStartHours, bool& converged) {
  double t = tStartHours;
  double step = 10.0;
  for (int i = 0; i < kMaxNewtonSteps && std::fabs(step) > kStepToleranceHours; ++i) {
    const EclipseElements e = elementsAt(r, t);
    const double n2 = e.xDot * e.xDot + e.yDot * e.yDot;
    step = -(e.x * e.xDot + e.y * e.yDot) / n2;
    t += step;
  }
  converged = stepConverged(step, t);
  return t;
}

enum class ContactSide { Before, After };

// Newton's method for the time when the centre distance equals L(t), on one
// side of greatest eclipse. L selects lp, lu or lt of the elements.
double iterateContact(const EclipseRecord& r, double tGreatestHours, double EclipseElements::*radius,
                      ContactSide side, bool& converged) {
  double t = tGreatestHours;
  double step = 50.0;
  for (int i = 0; i < kMaxNewtonSteps && std::fabs(step) > kStepToleranceHours; ++i) {
    const EclipseElements e = elementsAt(r, t);
    const double n2 = e.xDot * e.xDot + e.yDot * e.yDot;
    const double n = std::sqrt(n2);
    const double s = (e.x * e.yDot - e.y * e.xDot) / n;  // distance at closest approach
    const double l = e.*radius;
    const double k = std::sqrt(std::fabs(l * l - s * s));
    const double toClosest = -(e.x * e.xDot + e.y * e.yDot) / n2;
    step = side == ContactSide::Before ? toClosest - k / n : toClosest + k / n;
    t += step;
  }
  converged = stepConverged(step, t);
  return t;
}

}  // namespace

EclipseElements elementsAt(const EclipseRecord& r, double t) {
  EclipseElements e;
  e.x = r.x0 + r.x1 * t + r.x2 * t * t + r.x3 * t * t * t;
  e.y = r.y0 + r.y1 * t + r.y2 * t * t + r.y3 * t * t * t;
  e.xDot = r.x1 + t * (2 * r.x2 + 3 * r.x3 * t);
  e.yDot = r.y1 + t * (2 * r.y2 + 3 * r.y3 * t);
  e.gst = r.gst0 + r.gst1 * t;
  e.lp = r.lp0 + r.lp1 * t;
  e.lu = r.lu0 + r.lu1 * t;
  e.lt = r.lt0 + r.lt1 * t;
  e.ra = r.ra0 + r.ra1 * t;
  e.dec = r.dec0 + r.dec1 * t;
  return e;
}

GeoPoint subLunarPoint(const EclipseRecord& r, double tHours, double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, tHours);
  double c = std::fmod(e.gst - e.ra - deltaTSeconds * kSiderealDegPerSecond, 360.0);
  if (c < 0) c += 360.0;
  double longitude = 360.0 - c;
  if (longitude > 180.0) longitude -= 360.0;
  return {longitude, e.dec};
}

GreatestEclipse findGreatest(const EclipseRecord& r, double tStartHours, double deltaTSeconds) {
  GreatestEclipse g{};
  g.tHours = iterateGreatest(r, tStartHours, g.converged);
  g.subLunar = subLunarPoint(r, g.tHours, deltaTSeconds);
  return g;
}

ContactKinds contactKindsOf(double eclipseType) {
  const double type = std::trunc(eclipseType);
  return {type != 3.0, type != 2.0 && type != 3.0};
}

ContactTimes findContacts(const EclipseRecord& r, double tGreatestHours) {
  const ContactKinds kinds = contactKindsOf(r.eclipseType);
  const bool hasUmbral = kinds.umbral;
  const bool hasTotal = kinds.total;
  ContactTimes c;
  bool ok = true;
  bool one = false;
  c.p1 = iterateContact(r, tGreatestHours, &EclipseElements::lp, ContactSide::Before, one);
  ok = ok && one;
  if (hasUmbral) {
    c.u1 = iterateContact(r, tGreatestHours, &EclipseElements::lu, ContactSide::Before, one);
    ok = ok && one;
  }
  if (hasTotal) {
    c.u2 = iterateContact(r, tGreatestHours, &EclipseElements::lt, ContactSide::Before, one);
    ok = ok && one;
    c.u3 = iterateContact(r, tGreatestHours, &EclipseElements::lt, ContactSide::After, one);
    ok = ok && one;
  }
  if (hasUmbral) {
    c.u4 = iterateContact(r, tGreatestHours, &EclipseElements::lu, ContactSide::After, one);
    ok = ok && one;
  }
  c.p4 = iterateContact(r, tGreatestHours, &EclipseElements::lp, ContactSide::After, one);
  c.converged = ok && one;
  return c;
}

SiteCircumstances siteCircumstances(const EclipseRecord& r, const SiteValues& site, double tHours,
                                    double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, tHours);
  const double m = std::sqrt(e.x * e.x + e.y * e.y);
  const double magnitude = (e.lu - m) / (e.lu - e.lt);
  const double hourAngle =
      (e.gst + site.longitudeDeg - e.ra - deltaTSeconds / 3600.0 * 15.0 * kSiderealPerSolar) *
      kDegToRad;
  const double dec = e.dec * kDegToRad;
  const double lat = site.latitudeDeg * kDegToRad;
  // Rounding can carry the sine a hair past ±1 at the zenith or nadir.
  const double sinAlt = std::clamp(
      std::cos(hourAngle) * std::cos(dec) * std::cos(lat) + std::sin(dec) * std::sin(lat), -1.0, 1.0);
  const double altitude = std::asin(sinAlt) * kRadToDeg;
  const double azimuth =
      std::atan2(-std::cos(dec) * std::sin(hourAngle),
                 std::sin(dec) * std::cos(lat) - std::cos(hourAngle) * std::cos(dec) * std::sin(lat)) *
          kRadToDeg +
      180.0;
  return {magnitude, altitude, azimuth};
}

SiteAtGreatest greatestAtSite(const EclipseRecord& r, const SiteValues& site, double tStartHours,
                              double deltaTSeconds) {
  SiteAtGreatest out{};
  const double t = iterateGreatest(r, tStartHours, out.converged);
  const SiteCircumstances c = siteCircumstances(r, site, t, deltaTSeconds);
  out.umbralMagnitude = c.umbralMagnitude;
  out.altitudeDeg = c.altitudeDeg;
  return out;
}

SiteValues prepareSite(const SessionState& state) {
  return {state.siteLongitude, state.siteLatitude, state.siteHeight};
}

void updateGreatestEclipse(SessionState& state) {
  const EclipseRecord& r = state.current;
  state.deltaTHours = state.deltaT / 3600.0;
  state.greatestDeltaTSeconds = state.deltaT;
  const GreatestEclipse g = findGreatest(r, state.greatestGuessHours, state.deltaT);
  state.greatestConverged = g.converged && std::isfinite(g.subLunar.longitudeDeg) &&
                            std::isfinite(g.subLunar.latitudeDeg);
  if (state.greatestConverged) {
    state.greatestOffsetHours = g.tHours;
    state.greatestSubLunar = g.subLunar;
    state.greatestGuessHours = g.tHours;
    state.contacts = findContacts(r, g.tHours);
  } else {
    // No usable greatest eclipse: keep finite placeholders (the reference
    // hour, no contacts) and leave the starting guess alone; the flags tell
    // every reader not to draw or print them.
    state.greatestOffsetHours = 0;
    state.greatestSubLunar = {0, 0};
    state.contacts = ContactTimes{};
  }
  state.greatestLongitude = state.greatestSubLunar.longitudeDeg;
  state.greatestLatitude = state.greatestSubLunar.latitudeDeg;
  state.horizonCrossHours = 10000;
  state.dayStartJd =
      state.greatestJd - (state.greatestOffsetHours + state.epochHour - state.deltaTHours) / 24.0;
}

bool currentEclipseConverged(const SessionState& state) {
  return state.greatestConverged && state.contacts.converged;
}

}  // namespace tarvo
