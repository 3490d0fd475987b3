// Degree/radian conversions and a wrap-aware angle difference.
#pragma once

#include <cmath>
#include <numbers>

#include "base/constants.h"

namespace tarvo {

// The factors, exact and short, are in base/constants.h.

constexpr double degToRad(double deg) { return deg * kDegToRad; }
constexpr double radToDeg(double rad) { return rad * kRadToDeg; }

// a − b in degrees, wrapped into [−180, 180): the signed shortest turn from b to a.
inline double angleDiffDeg(double a, double b) {
  const double d = std::fmod(a - b, 360.0);
  const double w = d < -180.0 ? d + 360.0 : (d >= 180.0 ? d - 360.0 : d);
  return w;
}

// The same for radians, into [−π, π).
inline double angleDiffRad(double a, double b) {
  constexpr double kTurn = 2.0 * std::numbers::pi;
  const double d = std::fmod(a - b, kTurn);
  return d < -std::numbers::pi ? d + kTurn : (d >= std::numbers::pi ? d - kTurn : d);
}

}  // namespace tarvo
