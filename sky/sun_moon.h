// Geocentric places of the Sun and the Moon for the sky chart, from short
// theories: the Sun from mean elements in centuries from 1900 with a
// four-term equation of the centre, the Moon from mean elements in centuries
// from 1800 with five periodic terms and Kepler's equation. jd is a Julian
// Day (the chart passes Universal Time).
#pragma once

#include "sky/earth_orientation.h"

namespace tarvo {

// Fills longitude, latitude (0), semiDiameter, x, y, z (geocentric ecliptic,
// AU, z = 0), distance (AU), magnitude (−10), ra and dec (true obliquity).
BodyPosition sunPosition(double jd);

// Fills longitude, latitude, ra and dec (mean obliquity of date); geocentric,
// without parallax, nutation or aberration.
BodyPosition moonPosition(double jd);

// Kepler's equation E − e·sin E = M by Newton's method, radians. Stops when
// |E − e·sin E − M| ≤ 1e−8 (converged) or after kMaxKeplerSteps steps.
inline constexpr int kMaxKeplerSteps = 50;
struct KeplerSolution {
  double eccentricAnomaly;  // radians
  bool converged;
};
KeplerSolution solveKepler(double meanAnomalyRad, double eccentricity);

}  // namespace tarvo
