#include "sky/sky_objects.h"

#include <cmath>

namespace tarvo {

namespace {

// The star reduction turns degrees into radians with this short factor, and
// back with its reciprocal.
constexpr double kStarDegToRad = 0.0174532925;
constexpr double kTwoPi = 6.283185307179586;

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
  const PrecessionAngles angles = precessionAngles1976(t);
  const double zeta = angles.zeta * kStarDegToRad;
  const double z = angles.z * kStarDegToRad;
  const double theta = angles.theta * kStarDegToRad;
  // Proper motion over 100·t years, before precession.
  const double alpha0 =
      (packedHoursToDegrees(entry.raPacked) + entry.pmRa * 100.0 * t / 3600.0 * 15.0) * kStarDegToRad;
  const double delta0 = (packedDegreesToDegrees(entry.decPacked) + entry.pmDec * 100.0 * t / 3600.0) * kStarDegToRad;

  const double sinDec = std::cos(theta) * std::sin(delta0) + std::sin(theta) * std::cos(delta0) * std::cos(alpha0 + zeta);
  const double dec = std::asin(std::fmax(-1.0, std::fmin(1.0, sinDec)));
  double a = std::atan2(std::cos(delta0) * std::sin(alpha0 + zeta),
                        std::cos(theta) * std::cos(delta0) * std::cos(alpha0 + zeta) - std::sin(theta) * std::sin(delta0));
  if (a < 0) a += kTwoPi;
  double ra = (a + z) / kStarDegToRad;
  if (ra < 0) ra += 360.0;
  if (ra > 360.0) ra -= 360.0;
  return {ra, dec / kStarDegToRad};
}

}  // namespace tarvo
