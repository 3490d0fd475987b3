#include "catalogue/saros_table.h"

#include <cmath>

#include "data/saros_start_table.h"

namespace tarvo {

std::optional<double> SarosStartTable::firstYear(double saros) {
  if (!std::isfinite(saros) || saros != std::trunc(saros)) return std::nullopt;
  const bool positive = saros > 0;
  const double row = positive ? saros : -saros;
  if (!(row >= 0 && row < kRows)) return std::nullopt;
  const double first = data::kSarosStartTable[static_cast<int>(row)][positive ? 0 : 1];
  if (first == kNoSeries) return std::nullopt;
  return first;
}

int SarosStartTable::memberNumber(double saros, double year) {
  const auto first = firstYear(saros);
  if (!first || !std::isfinite(year)) return 0;
  const double member = std::trunc((year - *first) / kSarosPeriodYears + 1.5);
  // Catalogue years give a few thousand at most; anything beyond is no member.
  if (!(std::fabs(member) < 1e6)) return 0;
  return static_cast<int>(member);
}

std::optional<double> sarosRestartYear(double sarosCriterion, double cursorYear) {
  const double s = std::trunc(sarosCriterion);
  // Column 2 of row s is the first year of series −s.
  const auto first = (sarosCriterion > 100 && cursorYear < 0) ? SarosStartTable::firstYear(-s)
                                                              : SarosStartTable::firstYear(s);
  if (!first || !(*first + kSarosRestartSpanYears < cursorYear)) return std::nullopt;
  return *first - 1;
}

}  // namespace tarvo
