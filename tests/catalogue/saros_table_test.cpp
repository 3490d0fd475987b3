#include "catalogue/saros_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/saros_start_table.h"

namespace tarvo {
namespace {

// Rows known from the published table, which a table derived from the canon
// reproduces: the early series and the empty tail.
TEST(SarosStartTable, KnownRowsGiveTheirFirstYears) {
  const struct {
    int row;
    double positive, negative;
  } rows[] = {{1, -2570, -2664}, {2, -2523, -2711}, {5, -2491, -2852}};
  for (const auto& r : rows) {
    EXPECT_EQ(SarosStartTable::firstYear(r.row).value_or(0), r.positive) << r.row;
    EXPECT_EQ(SarosStartTable::firstYear(-r.row).value_or(0), r.negative) << -r.row;
  }
  // Series 0 is read from the second column.
  EXPECT_EQ(SarosStartTable::firstYear(0).value_or(0), -2653);
  EXPECT_EQ(SarosStartTable::firstYear(-0.0).value_or(0), -2653);
  for (int row = 693; row < 700; ++row) {
    EXPECT_FALSE(SarosStartTable::firstYear(row).has_value()) << row;
    EXPECT_FALSE(SarosStartTable::firstYear(-row).has_value()) << -row;
  }
}

// Every row of the table is reached through the sign rule, and 99999 is never
// handed out as a year.
TEST(SarosStartTable, LookupFollowsTheSignRule) {
  long misses = 0;
  for (int row = 0; row < SarosStartTable::kRows; ++row) {
    const double c1 = data::kSarosStartTable[row][0], c2 = data::kSarosStartTable[row][1];
    const auto pos = SarosStartTable::firstYear(row), neg = SarosStartTable::firstYear(-row);
    if (row > 0 && (c1 == 99999 ? pos.has_value() : pos != c1)) ++misses;
    if (c2 == 99999 ? neg.has_value() : neg != c2) ++misses;
  }
  EXPECT_EQ(misses, 0);
}

// Member numbers: trunc((year − first)/18.03 + 1.5), truncation toward zero.
TEST(SarosStartTable, MemberNumbers) {
  EXPECT_EQ(SarosStartTable::memberNumber(1, -2570), 1);
  EXPECT_EQ(SarosStartTable::memberNumber(1, -2552), 2);
  EXPECT_EQ(SarosStartTable::memberNumber(-1, -2664), 1);
  EXPECT_EQ(SarosStartTable::memberNumber(-1, -2664 + 18.03 * 10), 11);
  EXPECT_EQ(SarosStartTable::memberNumber(0, -2653), 1);
  // Before the first year: (−2600 − −2570)/18.03 + 1.5 = −0.16, truncated to 0 (not floor's −1).
  EXPECT_EQ(SarosStartTable::memberNumber(1, -2600), 0);
  // Far before: −2.66 → −2.
  EXPECT_EQ(SarosStartTable::memberNumber(1, -2645), -2);
}

// A series with no first year shows member 0, and nothing outside the table is read.
TEST(SarosStartTable, SeriesWithoutFirstYearIsMemberZero) {
  const double none[] = {693,  699,  700,  -700, 1e300, -1e300, 358.5, -0.5, 9999, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (double saros : none) {
    EXPECT_FALSE(SarosStartTable::firstYear(saros).has_value()) << saros;
    EXPECT_EQ(SarosStartTable::memberNumber(saros, 2025), 0) << saros;
  }
  EXPECT_EQ(SarosStartTable::memberNumber(145, std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(SarosStartTable::memberNumber(145, 1e300), 0);
}

}  // namespace
}  // namespace tarvo
