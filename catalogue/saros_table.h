// The first year of each Saros series and the member number of an eclipse
// within its series.
#pragma once

#include <optional>

namespace tarvo {

class SarosStartTable {
 public:
  static constexpr int kRows = 700;
  static constexpr double kNoSeries = 99999;  // marks a series without a first year
  static constexpr double kSarosPeriodYears = 18.03;

  // First year (astronomical) of series saros: column 1 at row saros for
  // saros > 0, column 2 at row −saros for saros ≤ 0. nullopt for a series
  // marked 99999, a saros outside the table, and a non-integer or non-finite
  // saros.
  static std::optional<double> firstYear(double saros);

  // Member number trunc((year − first year)/18.03 + 1.5) of an eclipse of
  // series saros in year; 0 when the series has no first year or the year is
  // not finite.
  static int memberNumber(double saros, double year);
};

}  // namespace tarvo
