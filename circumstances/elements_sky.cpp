#include "circumstances/elements_sky.h"

#include <cmath>

#include "circumstances/geometry.h"
#include "base/angles.h"

namespace tarvo {

namespace {

constexpr double kArcsecPerDeg = 3600.0;
// Fixed-point passes for the shadow axis: each gains a factor of about
// m² ≈ 1e-3 (m, the Moon's distance from the axis, below 0.03 rad).
constexpr int kAxisPasses = 6;

struct Offset {
  double xArcsec, yArcsec;
};

// The azimuthal equidistant projection of the point (ra, dec) about the
// centre (ra0, dec0): east and north, arcseconds (degrees in).
Offset projectAbout(double ra0Deg, double dec0Deg, double raDeg, double decDeg) {
  const double d0 = degToRad(dec0Deg), d = degToRad(decDeg), da = degToRad(raDeg - ra0Deg);
  const double cosC = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(da);
  const double c = std::acos(std::fmax(-1.0, std::fmin(1.0, cosC)));
  const double k = c < 1e-12 ? 1.0 : c / std::sin(c);
  const double x = k * std::cos(d) * std::sin(da);
  const double y = k * (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(da));
  return {radToDeg(x) * kArcsecPerDeg, radToDeg(y) * kArcsecPerDeg};
}

}  // namespace

ElementsSky skyFromElements(const EclipseRecord& r, double tHours, double deltaTSeconds) {
  const EclipseElements e = elementsAt(r, tHours);
  ElementsSky sky;
  sky.moonRaDeg = e.ra;
  sky.moonDecDeg = e.dec;
  // The sub-lunar point is where the Moon's hour angle is 0: Greenwich
  // sidereal time is the Moon's right ascension minus that longitude.
  const GeoPoint subLunar = subLunarPoint(r, tHours, deltaTSeconds);
  sky.greenwichSiderealDeg = std::fmod(e.ra - subLunar.longitudeDeg, 360.0);
  if (sky.greenwichSiderealDeg < 0) sky.greenwichSiderealDeg += 360.0;

  // The axis: start from the flat-sky guess, then correct by what the
  // projection about the guess says the Moon's offset would be.
  double axisRa = e.ra - e.x / kArcsecPerDeg / std::cos(degToRad(e.dec));
  double axisDec = e.dec - e.y / kArcsecPerDeg;
  for (int pass = 0; pass < kAxisPasses; ++pass) {
    const Offset o = projectAbout(axisRa, axisDec, e.ra, e.dec);
    axisRa -= (e.x - o.xArcsec) / kArcsecPerDeg / std::cos(degToRad(axisDec));
    axisDec -= (e.y - o.yArcsec) / kArcsecPerDeg;
  }
  sky.sunRaDeg = std::fmod(axisRa + 180.0, 360.0);
  if (sky.sunRaDeg < 0) sky.sunRaDeg += 360.0;
  sky.sunDecDeg = -axisDec;
  return sky;
}

}  // namespace tarvo
