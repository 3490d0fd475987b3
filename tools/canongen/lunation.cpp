#include "tools/canongen/lunation.h"

#include <cmath>

namespace tarvo::canongen {

double meanFullMoonJd(long n) {
  const double k = double(n) + 0.5;
  const double t = k / 1236.85;  // Julian centuries from 2000
  return 2451550.09766 + 29.530588861 * k + 0.00015437 * t * t - 0.000000150 * t * t * t +
         0.00000000073 * t * t * t * t;
}

long lunationNear(double jdTT) {
  // A first guess from the mean month, corrected for the polynomial's
  // curvature by two look-ups of the neighbours.
  long n = std::lround((jdTT - meanFullMoonJd(0)) / kMeanSynodicMonthDays);
  for (int i = 0; i < 8; ++i) {
    const double here = std::fabs(jdTT - meanFullMoonJd(n));
    if (std::fabs(jdTT - meanFullMoonJd(n + 1)) < here) {
      ++n;
    } else if (std::fabs(jdTT - meanFullMoonJd(n - 1)) < here) {
      --n;
    } else {
      break;
    }
  }
  return n;
}

}  // namespace tarvo::canongen
