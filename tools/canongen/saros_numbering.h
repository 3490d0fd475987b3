// Lunar Saros numbering: members of a series are 223 lunations apart, and
// an eclipse of series s + 1 follows one of series s by 358 lunations. The
// total eclipse of 2025 March 14 (full moon n = 311) belongs to series 123.
#pragma once

#include <array>
#include <span>
#include <string>

namespace tarvo::canongen {

inline constexpr long kSarosAnchorLunation = 311;
inline constexpr int kSarosAnchorSeries = 123;

// The series of the eclipse at full moon n in astronomical year `year`.
// n fixes the series modulo 223; of those candidates (about 6500 years apart
// in their first eclipses) the one whose life spans `year` is chosen.
int sarosSeries(long lunation, double year);

// The first-year table: row s, column 0 for series s, column 1 for series −s
// (row 0: series 0 in both); 99999 where the series has no eclipse.
inline constexpr int kSarosTableRows = 700;
inline constexpr double kNoSeries = 99999;
using SarosStartRows = std::array<std::array<double, 2>, kSarosTableRows>;

struct SarosEntry {
  double year;   // TT year of the eclipse
  double saros;  // series
};

struct SarosTable {
  SarosStartRows rows;
  int outOfRange;  // entries whose series the table cannot hold (ignored)
};

// The first year of each series over all entries.
SarosTable deriveSarosTable(std::span<const SarosEntry> entries);

}  // namespace tarvo::canongen

namespace tarvo::canongen {

// The table as the C++ header data/saros_start_table.h.
std::string formatSarosHeader(const SarosStartRows& rows);

}  // namespace tarvo::canongen
