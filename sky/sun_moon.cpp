#include "sky/sun_moon.h"

#include <cmath>

#include "base/angles.h"

namespace tarvo {

namespace {

double sinDeg(double x) { return std::sin(x * kDegToRad); }

}  // namespace

BodyPosition sunPosition(double jd) {
  const double t = centuries1900(jd);
  const double meanLongitude = reduceAngle(280.6824 + 36000.769325 * t + 0.000722222 * t * t, 360.0);
  const double perigee =
      reduceAngle(281.2206 + 1.717697 * t + 0.000483333 * t * t + 0.00000277777 * t * t * t, 360.0);
  const double e = 0.0167498 - 0.00004258 * t - 0.000000137 * t * t;
  const double a = 1.00000129;
  const double m = meanLongitude - perigee;  // not reduced
  const double centre = 1.91946 * sinDeg(m) + 0.0200939 * sinDeg(2 * m) - 0.00478889 * t * sinDeg(m) -
                        0.0000144444 * t * t * sinDeg(m);
  const double lambda = meanLongitude + centre;  // not reduced
  const double v = lambda - perigee;
  const double r = a * (1 - e * e) / (1 + e * std::cos(v * kDegToRad));

  BodyPosition p;
  p.longitude = lambda;
  p.latitude = 0;
  p.semiDiameter = 0.2666 / r;
  p.x = r * std::cos(lambda * kDegToRad);
  p.y = r * std::sin(lambda * kDegToRad);
  p.z = 0;
  p.distance = r;
  p.magnitude = -10;
  const EquatorialPlace eq = eclipticToEquatorial(jd, lambda, 0.0);
  p.ra = eq.ra;
  p.dec = eq.dec;
  return p;
}

KeplerSolution solveKepler(double meanAnomalyRad, double eccentricity) {
  double e = meanAnomalyRad;
  double f = e - eccentricity * std::sin(e) - meanAnomalyRad;
  // Written so that a NaN residual keeps the loop going into the failure exit.
  for (int step = 0; !(std::fabs(f) <= 1e-8); ++step) {
    if (step == kMaxKeplerSteps || !std::isfinite(f)) return {e, false};
    e = e - f / (1 - eccentricity * std::cos(e));
    f = e - eccentricity * std::sin(e) - meanAnomalyRad;
  }
  return {e, true};
}

BodyPosition moonPosition(double jd) {
  const double t = centuries1800(jd);
  const double tJ2000 = centuriesJ2000(jd);
  const double t2 = t * t, t3 = t2 * t;
  const double meanLongitude =
      reduceAngle(335.723436 + 481267.887361 * t + 0.00338888 * t2 + 0.00000183333 * t3, 360.0);
  const double perigee =
      reduceAngle(225.397325 + 4069.053805 * t - 0.0102869 * t2 - 0.0000122222 * t3, 360.0);
  const double node =
      reduceAngle(33.272936 - 1934.144694 * t + 0.00208028 * t2 + 0.00000208333 * t3, 360.0);
  const double e = 0.05490897;
  const double inclination = 5.1444433 * kDegToRad;

  const double periodicLongitude =
      1.2408 * sinDeg(1.2949 + 413335.4078 * t - 0.0072201 * t2 - 0.0000072305 * t3) +
      0.5958 * sinDeg(111.6209 + 890534.2514 * t + 0.0069838 * t2 + 0.0000069778 * t3) +
      0.1828 * sinDeg(180.40885 + 35999.0552 * t - 0.0001988 * t2) +
      0.055 * sinDeg(0.88605 + 377336.3526 * t - 0.0070213 * t2 - 0.0000072305 * t3) +
      0.0431 * sinDeg(111.21205 + 854535.1962 * t + 0.0071826 * t2 + 0.0000069778 * t3);
  const double periodicLatitude =
      0.1453 * sinDeg(169.1706 + 407332.2103 * t + 0.0053354 * t2 + 0.0000053292 * t3);

  const double corrected = meanLongitude + periodicLongitude;
  const double m = reduceAngle(corrected - perigee, 360.0) * kDegToRad;
  const double bigE = solveKepler(m, e).eccentricAnomaly;
  double v = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(bigE / 2)) / kDegToRad;
  if (v < 0) v += 360.0;
  double u = v + perigee - node;
  if (u > 360.0) u -= 360.0;
  if (u < 0) u += 360.0;
  double w = std::atan(std::tan(u * kDegToRad) * std::cos(inclination)) / kDegToRad;
  if (u > 90.0 && u < 270.0) w += 180.0;
  if (u >= 270.0) w += 360.0;
  const double lambda = reduceAngle(w + node, 360.0);
  const double beta = std::atan(std::sin(w * kDegToRad) * std::tan(inclination)) / kDegToRad + periodicLatitude;

  // Mean obliquity of date (an older polynomial; no nutation for the Moon).
  const double eps =
      (23.43929111 - 0.013004167 * tJ2000 - 0.000000164 * tJ2000 * tJ2000) * kDegToRad;
  const double l = lambda * kDegToRad, b = beta * kDegToRad;
  double ra = std::atan2(std::sin(l) * std::cos(b) * std::cos(eps) - std::sin(b) * std::sin(eps),
                         std::cos(l) * std::cos(b)) /
              kDegToRad;
  if (ra < 0) ra += 360.0;
  const double dec = asinDeg(std::sin(l) * std::cos(b) * std::sin(eps) + std::sin(b) * std::cos(eps));

  BodyPosition p;
  p.longitude = lambda;
  p.latitude = beta;
  p.ra = ra;
  p.dec = dec;
  return p;
}

}  // namespace tarvo
