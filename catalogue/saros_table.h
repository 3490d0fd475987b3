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

// Years the Saros restart lets the cursor stand past a series' first year
// (70 Saros periods).
inline constexpr double kSarosRestartSpanYears = 1262.1;

// Where a Saros search restarts from: with s = trunc(sarosCriterion), the
// series' first year t is column 2 of row s when sarosCriterion > 100 and the
// cursor's year is negative, else the first year of series s (column 2 of
// row −s for s ≤ 0); when t + 1262.1 < cursorYear the cursor goes to t − 1.
// nullopt when the cursor stays (also when the series has no first year).
std::optional<double> sarosRestartYear(double sarosCriterion, double cursorYear);

}  // namespace tarvo
