// Worst, mean and number of misses of a set of errors against a reference,
// and where the worst one was: what a reference test checks and prints.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace tarvo::testing {

struct ErrorStats {
  explicit ErrorStats(double tolerance = std::numeric_limits<double>::infinity()) : tolerance(tolerance) {}

  // An error larger in size than this is a miss; a NaN always is.
  double tolerance;
  double worst = 0;  // largest |error|; NaN, and kept, once a NaN came
  double sum = 0;    // of |error|
  long count = 0;
  long misses = 0;
  std::string worstWhere;

  // Takes one signed error in the unit of the tolerance; true when within it.
  bool add(double error, const std::string& where = {}) {
    const double size = std::fabs(error);
    if (std::isnan(size) ? !std::isnan(worst) : size > worst) {
      worst = size;
      worstWhere = where;
    }
    sum += size;
    ++count;
    const bool within = size <= tolerance;
    misses += !within;
    return within;
  }

  double mean() const { return count ? sum / count : 0.0; }

  // "worst 1.2 s (at WHERE), mean 0.31 s, misses 0 of 812".
  std::string summary(const char* unit = "") const {
    const std::string u = *unit ? std::string(" ") + unit : std::string();
    auto number = [](double v) {
      char text[32];
      std::snprintf(text, sizeof text, "%.3g", v);
      return std::string(text);
    };
    std::string text = "worst " + number(worst) + u;
    if (!worstWhere.empty()) text += " (at " + worstWhere + ")";
    return text + ", mean " + number(mean()) + u + ", misses " + std::to_string(misses) + " of " +
           std::to_string(count);
  }
};

// Prints the summary for the record and fails the test on any miss.
inline void expectNoMisses(const ErrorStats& s, const std::string& what, const char* unit = "") {
  std::printf("[ measured ] %s: %s (tolerance %.3g)\n", what.c_str(), s.summary(unit).c_str(), s.tolerance);
  EXPECT_EQ(s.misses, 0) << what << ": " << s.summary(unit);
}

}  // namespace tarvo::testing
