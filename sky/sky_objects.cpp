#include "sky/sky_objects.h"

#include <algorithm>
#include <cmath>

#include <erfa.h>

#include "base/angles.h"

namespace tarvo {

namespace {

// The star reduction turns degrees into radians with this short factor, and
// back with its reciprocal.
constexpr double kTwoPi = 6.283185307179586;
// Julian epoch of J2000.0, years.
constexpr double kJ2000Epoch = 2000.0;

struct Sexagesimal {
  double units, minutes, seconds;
};

// x = u + mm/100 + ss.s/10000 split into its three parts.
Sexagesimal unpack(double x) {
  const double u = std::floor(x);
  const double y = (x - u) * 100.0;
  const double m = std::floor(y);
  return {u, m, (y - m) * 100.0};
}

}  // namespace

const std::array<SkyObjectEntry, kSkyObjectCount>& skyObjectTable() { return data::kSkyObjectTable; }

double packedHoursToDegrees(double packed) {
  const Sexagesimal s = unpack(packed);
  return (s.units + s.minutes / 60.0 + s.seconds / 3600.0) * 15.0;
}

double packedDegreesToDegrees(double packed) {
  const Sexagesimal s = unpack(std::fabs(packed));
  const double degrees = s.units + s.minutes / 60.0 + s.seconds / 3600.0;
  return packed < 0 ? -degrees : degrees;
}

PrecessionAngles precessionAngles1976(double t) {
  const double t2 = t * t, t3 = t2 * t;
  return {(2306.2181 * t + 0.30188 * t2 + 0.017998 * t3) / 3600.0,
          (2306.2181 * t + 1.09468 * t2 + 0.018203 * t3) / 3600.0,
          (2004.3109 * t - 0.42665 * t2 - 0.041833 * t3) / 3600.0};
}

EquatorialPlace starPlaceOfDate(double jd, const SkyObjectEntry& entry) {
  const double t = centuriesJ2000(jd);
  // Proper motion over 100·t years on the J2000 equator, then precession.
  const double alpha0 = degToRad(packedHoursToDegrees(entry.raPacked) + entry.pmRa * 100.0 * t / 3600.0 * 15.0);
  const double delta0 = degToRad(packedDegreesToDegrees(entry.decPacked) + entry.pmDec * 100.0 * t / 3600.0);
  const double j2000[3] = {std::cos(delta0) * std::cos(alpha0), std::cos(delta0) * std::sin(alpha0),
                           std::sin(delta0)};
  double rp[3][3];
  eraLtp(kJ2000Epoch + t * 100.0, rp);
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = rp[i][0] * j2000[0] + rp[i][1] * j2000[1] + rp[i][2] * j2000[2];
  double ra = radToDeg(std::atan2(v[1], v[0]));
  if (ra < 0) ra += 360.0;
  return {ra, radToDeg(std::asin(std::clamp(v[2], -1.0, 1.0)))};
}

}  // namespace tarvo
