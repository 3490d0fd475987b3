#include "circumstances/visibility.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"

namespace tarvo {

namespace {

constexpr double kArcsecToRad = kDegToRad / 3600.0;
// The Earth's ellipsoid (WGS 84): flattening's complement b/a and radius, metres.
constexpr double kPolarOverEquatorial = 1.0 - 1.0 / 298.257223563;
constexpr double kEarthEquatorialRadiusM = 6378137.0;
// Fixed-point passes inverting the shadow-axis projection (each gains about
// three orders of magnitude at the Moon's distance from the axis).
constexpr int kAxisPasses = 3;

// The point at angular distance rho (radians) from (ra0, dec0) in direction
// theta (radians, from the north through the east).
void destination(double ra0, double dec0, double rho, double theta, double& ra, double& dec) {
  const double sinDec = std::sin(dec0) * std::cos(rho) + std::cos(dec0) * std::sin(rho) * std::cos(theta);
  dec = std::asin(std::clamp(sinDec, -1.0, 1.0));
  ra = ra0 + std::atan2(std::sin(theta) * std::sin(rho) * std::cos(dec0), std::cos(rho) - std::sin(dec0) * sinDec);
}

double altitudeRad(double hourAngle, double dec, double lat) {
  return std::asin(std::clamp(
      std::sin(lat) * std::sin(dec) + std::cos(lat) * std::cos(dec) * std::cos(hourAngle), -1.0, 1.0));
}

// Geocentric altitude above h0, degrees: positive while the Moon is up.
double aboveRiseLimit(const EclipseRecord& r, const SiteValues& site, double t, double deltaTSeconds) {
  const MoonAltitude a = moonAltitudeAt(r, site, t, deltaTSeconds);
  return a.geocentricDeg - a.riseLimitDeg;
}

}  // namespace

const char* visibilityClassName(VisibilityClass c) {
  switch (c) {
    case VisibilityClass::Visible: return "visible";
    case VisibilityClass::AtMoonrise: return "at-moonrise";
    case VisibilityClass::AtMoonset: return "at-moonset";
    case VisibilityClass::Partly: return "partly";
    case VisibilityClass::None: return "none";
  }
  return "none";
}

double moonParallaxDeg(const EclipseElements& e) {
  const double semiDiameter = 0.5 * (e.lu - e.lt) * kArcsecToRad;
  return radToDeg(std::asin(std::clamp(std::sin(semiDiameter) / kMoonRadiusEarthRadii, -1.0, 1.0)));
}

double moonRiseAltitudeDeg(double parallaxDeg) {
  return (1.0 - kMoonRadiusEarthRadii) * parallaxDeg - kHorizonRefractionDeg;
}

double refractionDeg(double h) {
  constexpr double kLowest = -kHorizonRefractionDeg;
  constexpr double kFadeEnd = -5.0;
  const auto saemundsson = [](double a) {  // arcmin → degrees
    return 1.02 / std::tan(degToRad(a + 10.3 / (a + 5.11))) / 60.0;
  };
  if (h >= kLowest) return saemundsson(std::min(h, 90.0));
  if (h <= kFadeEnd) return 0;
  return saemundsson(kLowest) * (h - kFadeEnd) / (kLowest - kFadeEnd);
}

MoonAltitude moonAltitudeAt(const EclipseRecord& r, const SiteValues& site, double t, double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, t);
  const double parallaxDeg = moonParallaxDeg(e);
  const double h = degToRad(moonHourAngleDeg(e, site.longitudeDeg, deltaTSeconds));
  const double dec = degToRad(e.dec);
  const double lat = degToRad(site.latitudeDeg);
  MoonAltitude out{};
  out.geocentricDeg = siteCircumstances(r, site, t, deltaTSeconds).altitudeDeg;
  out.riseLimitDeg = moonRiseAltitudeDeg(parallaxDeg);
  // Topocentric place (the observer's geocentric position on the ellipsoid,
  // in Earth radii): rho sin φ′, rho cos φ′.
  const double u = std::atan(kPolarOverEquatorial * std::tan(lat));
  const double heightRatio = site.heightM / kEarthEquatorialRadiusM;
  const double rhoSin = kPolarOverEquatorial * std::sin(u) + heightRatio * std::sin(lat);
  const double rhoCos = std::cos(u) + heightRatio * std::cos(lat);
  const double sinParallax = std::sin(degToRad(parallaxDeg));
  const double denominator = std::cos(dec) - rhoCos * sinParallax * std::cos(h);
  const double shift = std::atan2(-rhoCos * sinParallax * std::sin(h), denominator);
  const double topoDec = std::atan2((std::sin(dec) - rhoSin * sinParallax) * std::cos(shift), denominator);
  const double topoHourAngle = h - shift;
  const double topoAlt = radToDeg(altitudeRad(topoHourAngle, topoDec, lat));
  out.apparentDeg = topoAlt + refractionDeg(topoAlt);
  const double sinH = std::sin(topoHourAngle), cosH = std::cos(topoHourAngle);
  // Azimuth from the south through the west, turned to count from the north.
  const double fromSouth = std::atan2(sinH * std::cos(topoDec),
                                      cosH * std::cos(topoDec) * std::sin(lat) - std::sin(topoDec) * std::cos(lat));
  out.azimuthDeg = angleDiffDeg(radToDeg(fromSouth), 0.0) + 180.0;
  out.parallacticAngleDeg =
      radToDeg(std::atan2(sinH * std::cos(lat), std::sin(lat) * std::cos(topoDec) - std::cos(lat) * std::sin(topoDec) * cosH));
  return out;
}

double sunAltitudeAt(const EclipseRecord& r, const SiteValues& site, double t, double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, t);
  // x, y place the Moon about the antisolar point A by an azimuthal
  // equidistant projection; find A from the Moon's place by fixed-point passes.
  const double moonRa = degToRad(e.ra), moonDec = degToRad(e.dec);
  const double rho = std::hypot(e.x, e.y) * kArcsecToRad;
  const double theta = std::atan2(e.x, e.y);
  double axisRa = moonRa - e.x * kArcsecToRad / std::cos(moonDec);
  double axisDec = moonDec - e.y * kArcsecToRad;
  for (int i = 0; i < kAxisPasses; ++i) {
    double ra = 0, dec = 0;
    destination(axisRa, axisDec, rho, theta, ra, dec);
    axisRa += angleDiffRad(moonRa, ra);
    axisDec += moonDec - dec;
  }
  const double sunRa = axisRa + std::numbers::pi, sunDec = -axisDec;
  const double h = degToRad(moonHourAngleDeg(e, site.longitudeDeg, deltaTSeconds)) + moonRa - sunRa;
  return radToDeg(altitudeRad(h, sunDec, degToRad(site.latitudeDeg)));
}

VisibilityClass visibilityClassOver(const EclipseRecord& r, const SiteValues& site, double tStart, double tEnd,
                                    double deltaTSeconds) {
  const bool upAtStart = aboveRiseLimit(r, site, tStart, deltaTSeconds) > 0;
  const bool upAtEnd = aboveRiseLimit(r, site, tEnd, deltaTSeconds) > 0;
  if (!upAtStart && upAtEnd) return VisibilityClass::AtMoonrise;
  if (upAtStart && !upAtEnd) return VisibilityClass::AtMoonset;
  // Same state at both ends: the altitude can turn back only near the upper
  // culmination (hour angle 0°, for a Moon down at both ends) or the lower
  // one (180°, for a Moon up at both ends). The declination's motion moves
  // the turning point away from the meridian, so it is found by a
  // golden-section search about the meridian passage.
  const EclipseElements e = elementsAt(r, tStart);
  const double rateDegPerHour = r.gst1 - r.ra1;
  if (!(rateDegPerHour > 0) || !(tEnd > tStart) || !std::isfinite(tEnd - tStart)) {
    return upAtStart ? VisibilityClass::Visible : VisibilityClass::None;
  }
  const double sign = upAtStart ? -1.0 : 1.0;  // search for a maximum of sign × (altitude − h0)
  const double meridian = upAtStart ? 180.0 : 0.0;
  const double h0 = moonHourAngleDeg(e, site.longitudeDeg, deltaTSeconds);
  const double turn = meridian + std::ceil((h0 - meridian) / 360.0) * 360.0;
  // The passage nearest after tStart and the one before it (the turning point
  // may lie a little either side of the meridian).
  constexpr double kSearchHalfWidthHours = 2.0;
  constexpr int kGoldenSteps = 30;
  const double golden = (std::sqrt(5.0) - 1) / 2;
  const auto f = [&](double t) { return sign * aboveRiseLimit(r, site, t, deltaTSeconds); };
  for (double passage : {turn - 360.0, turn}) {
    const double tc = tStart + (passage - h0) / rateDegPerHour;
    double a = std::max(tStart, tc - kSearchHalfWidthHours);
    double b = std::min(tEnd, tc + kSearchHalfWidthHours);
    if (!(a < b)) continue;
    double c = b - golden * (b - a), d = a + golden * (b - a);
    double fc = f(c), fd = f(d);
    for (int i = 0; i < kGoldenSteps; ++i) {
      if (fc > fd) {
        b = d, d = c, fd = fc, c = b - golden * (b - a), fc = f(c);
      } else {
        a = c, c = d, fc = fd, d = a + golden * (b - a), fd = f(d);
      }
    }
    if (std::max(fc, fd) > 0) return VisibilityClass::Partly;
  }
  return upAtStart ? VisibilityClass::Visible : VisibilityClass::None;
}

MainPhase mainPhaseOf(const ContactTimes& c) {
  if (c.u1 && c.u4) return {*c.u1, *c.u4};
  return {c.p1, c.p4};
}

Visibility visibilityAt(const EclipseCircumstances& eclipse, const SiteValues& site, double sigma) {
  Visibility v;
  const EclipseRecord& r = eclipse.record;
  const double deltaT = eclipse.deltaTSeconds;
  v.faint = std::trunc(r.eclipseType) == 3 && r.penumbralMagnitude < kFaintPenumbralMagnitude;
  v.converged = eclipse.converged();
  if (!v.converged) return v;
  const ContactTimes& c = eclipse.contacts;
  const MainPhase phase = mainPhaseOf(c);
  const auto classAt = [&](double dt) { return visibilityClassOver(r, site, phase.startHours, phase.endHours, dt); };
  v.visibilityClass = classAt(deltaT);
  v.uncertain = sigma > 0 && (classAt(deltaT - sigma) != v.visibilityClass || classAt(deltaT + sigma) != v.visibilityClass);
  const double jdUt = eclipse.dayStartJd + eclipse.utHours(eclipse.greatestHours) / 24.0;
  v.greatestLocal = jdToCalendar(jdUt, ZoneMode::StandardZone, site.longitudeDeg);
  const std::optional<double> times[kContactCount] = {c.p1, c.u1, c.u2, c.u3, c.u4, c.p4};
  for (int i = 0; i < kContactCount; ++i) {
    if (times[i]) v.contactAltitudeDeg[i] = moonAltitudeAt(r, site, *times[i], deltaT).apparentDeg;
  }
  v.greatestAltitudeDeg = moonAltitudeAt(r, site, eclipse.greatestHours, deltaT).apparentDeg;
  v.sunAltitudeDeg = sunAltitudeAt(r, site, eclipse.greatestHours, deltaT);
  v.seen = phaseSeenAt(eclipse, site);
  return v;
}

}  // namespace tarvo
