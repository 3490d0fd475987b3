#include "sky/sky_objects.h"

#include <algorithm>
#include <cmath>

#include <erfa.h>
#include <erfam.h>

#include "base/angles.h"

namespace tarvo {

namespace {

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

const StarSpaceMotion& starSpaceMotion(std::size_t n) {
  return data::kStarSpaceMotionTable.at(n - kFirstStarIndex);
}

EquatorialPlace starPlaceOfDate(double jd, const StarSpaceMotion& star) {
  const double ra0 = degToRad(star.raDeg), dec0 = degToRad(star.decDeg);
  // ERFA takes the motion in right ascension as dα/dt, radians per year.
  const double pmRa = star.pmRaCosDecMasPerYear / 1000.0 * ERFA_DAS2R / std::cos(dec0);
  const double pmDec = star.pmDecMasPerYear / 1000.0 * ERFA_DAS2R;
  double ra = ra0, dec = dec0, pmRa2, pmDec2, parallax2, rv2;
  const int status = eraPmsafe(ra0, dec0, pmRa, pmDec, star.parallaxMas / 1000.0, star.radialVelocityKmPerS,
                               ERFA_DJ00, 0.0, jd, 0.0, &ra, &dec, &pmRa2, &pmDec2, &parallax2, &rv2);
  if (status < 0 || status >= 4) ra = ra0, dec = dec0;
  double unit[3];
  eraS2c(ra, dec, unit);
  double rpb[3][3];
  eraLtpb(kJ2000Epoch + (jd - ERFA_DJ00) / ERFA_DJY, rpb);
  double v[3];
  eraRxp(rpb, unit, v);
  double raDate = radToDeg(std::atan2(v[1], v[0]));
  if (raDate < 0) raDate += 360.0;
  return {raDate, radToDeg(std::asin(std::clamp(v[2], -1.0, 1.0)))};
}

}  // namespace tarvo
