#include "circumstances/geometry.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"

namespace tarvo {

namespace {

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

// Arcsec: the Moon's centre distance from the axis minus the contact distance;
// below 0 inside the contact circle.
double outsideCircle(const EclipseRecord& r, double tHours, double EclipseElements::*radius) {
  const EclipseElements e = elementsAt(r, tHours);
  return std::hypot(e.x, e.y) - e.*radius;
}

// Hours between the trial bounds of the bracketed search, and how far from
// greatest eclipse it looks: every real contact lies within a few hours.
constexpr double kBracketStepHours = 0.5;
constexpr int kBracketSteps = 48;
constexpr int kMaxBisections = 64;
// Arcsec: a Newton result farther than this from its circle is no contact
// (1e-6 h of motion is about 0.002").
constexpr double kOnCircleArcsec = 0.01;
// Arcsec: a Moon that misses the circle by no more than this at greatest
// eclipse is taken to touch it (the catalogue's type and the fitted elements
// disagree by rounding there).
constexpr double kGrazeArcsec = 0.5;

// The contact by bisection, for when Newton's method gives up (a Moon that
// barely grazes the circle makes Newton creep). Needs greatest eclipse inside
// the circle; walks outward in kBracketStepHours steps to a time outside it,
// then halves the bracket until it is below kStepToleranceHours.
double bisectContact(const EclipseRecord& r, double tGreatestHours, double EclipseElements::*radius,
                     ContactSide side, bool& converged) {
  converged = false;
  const double atGreatest = outsideCircle(r, tGreatestHours, radius);
  if (atGreatest > 0 && atGreatest <= kGrazeArcsec) {
    // The type says the Moon reaches the circle; the elements put it just
    // outside at greatest eclipse: it touches, both contacts at that instant.
    converged = true;
    return tGreatestHours;
  }
  if (!(atGreatest <= 0)) return tGreatestHours;
  const double direction = side == ContactSide::Before ? -1.0 : 1.0;
  double inside = tGreatestHours;
  double outside = tGreatestHours;
  bool found = false;
  for (int i = 1; i <= kBracketSteps && !found; ++i) {
    const double t = tGreatestHours + direction * kBracketStepHours * i;
    const double f = outsideCircle(r, t, radius);
    if (!std::isfinite(f)) return tGreatestHours;
    if (f > 0) {
      outside = t;
      found = true;
    } else {
      inside = t;
    }
  }
  if (!found) return tGreatestHours;
  // Each pass halves the bracket, which starts at kBracketStepHours; the cap
  // ends the loop far from t = 0, where doubles are too coarse to halve it.
  for (int i = 0; i < kMaxBisections && !(std::fabs(outside - inside) < kStepToleranceHours); ++i) {
    const double mid = 0.5 * (inside + outside);
    if (outsideCircle(r, mid, radius) > 0) {
      outside = mid;
    } else {
      inside = mid;
    }
  }
  converged = std::fabs(outside - inside) < kStepToleranceHours;
  return 0.5 * (inside + outside);
}

// One contact: Newton's method, and the bracketed search when it gives up or
// stops where the straight-line model has no crossing (its fixed point off
// the circle when the Moon only grazes it).
double contactTime(const EclipseRecord& r, double tGreatestHours, double EclipseElements::*radius,
                   ContactSide side, bool& converged) {
  const double t = iterateContact(r, tGreatestHours, radius, side, converged);
  if (converged && std::fabs(outsideCircle(r, t, radius)) <= kOnCircleArcsec) return t;
  return bisectContact(r, tGreatestHours, radius, side, converged);
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
  ContactTimes c;
  bool ok = true;
  bool one = false;
  const auto contact = [&](double EclipseElements::*radius, ContactSide side) {
    const double t = contactTime(r, tGreatestHours, radius, side, one);
    ok = ok && one;
    return t;
  };
  // A blank type code does not say which circles the Moon reaches: there a
  // circle it misses at greatest eclipse has no contacts.
  const double type = std::trunc(r.eclipseType);
  const bool typeKnown = type == 1 || type == 2 || type == 3;
  const auto reached = [&](double EclipseElements::*radius) {
    return typeKnown || outsideCircle(r, tGreatestHours, radius) <= kGrazeArcsec;
  };
  c.p1 = contact(&EclipseElements::lp, ContactSide::Before);
  const bool umbral = kinds.umbral && reached(&EclipseElements::lu);
  const bool total = kinds.total && reached(&EclipseElements::lt);
  if (umbral) c.u1 = contact(&EclipseElements::lu, ContactSide::Before);
  if (total) {
    c.u2 = contact(&EclipseElements::lt, ContactSide::Before);
    c.u3 = contact(&EclipseElements::lt, ContactSide::After);
  }
  if (umbral) c.u4 = contact(&EclipseElements::lu, ContactSide::After);
  c.p4 = contact(&EclipseElements::lp, ContactSide::After);
  c.converged = ok;
  return c;
}

double moonHourAngleDeg(const EclipseElements& e, double longitudeDeg, double deltaTSeconds) {
  return e.gst + longitudeDeg - e.ra - deltaTSeconds / 3600.0 * 15.0 * kSiderealPerSolar;
}

SiteCircumstances siteCircumstances(const EclipseRecord& r, const SiteValues& site, double tHours,
                                    double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, tHours);
  const double m = std::sqrt(e.x * e.x + e.y * e.y);
  const double magnitude = (e.lu - m) / (e.lu - e.lt);
  const double hourAngle = moonHourAngleDeg(e, site.longitudeDeg, deltaTSeconds) * kDegToRad;
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

std::array<std::optional<double>, kContactCount> contactTimesInOrder(const ContactTimes& c) {
  return {c.p1, c.u1, c.u2, c.u3, c.u4, c.p4};
}

bool hasContactsOn(const ContactKinds& kinds, ContactCircle circle) {
  switch (circle) {
    case ContactCircle::Penumbral: return true;
    case ContactCircle::Umbral: return kinds.umbral;
    case ContactCircle::Internal: return kinds.total;
  }
  return false;
}

}  // namespace tarvo
