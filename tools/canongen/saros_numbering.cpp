#include "tools/canongen/saros_numbering.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace tarvo::canongen {

namespace {

// Rough first year of series s: about 29.5 years per series, pinned at
// series 145 beginning in 1832. Wrong by up to ~1000 years far from 145,
// far less than the ~6500 years between the candidates it decides among.
double roughFirstYear(long series) { return 1832.0 + 29.5 * double(series - 145); }

// A series lives about 1300 years; its middle is the best match for a date.
constexpr double kHalfLifeYears = 650.0;

long inverseModulo(long a, long m) {
  for (long x = 1; x < m; ++x)
    if ((a * x) % m == 1) return x;
  return 0;
}

long positiveModulo(long a, long m) {
  const long r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

int sarosSeries(long lunation, double year) {
  // lunation − anchor = 223 a + 358 b; b is the series offset, fixed mod 223.
  static const long inverse358 = inverseModulo(358 % 223, 223);
  const long offset = lunation - kSarosAnchorLunation;
  const long b0 = positiveModulo(positiveModulo(offset, 223) * inverse358, 223);
  long best = kSarosAnchorSeries + b0;
  double bestMiss = std::numeric_limits<double>::infinity();
  for (long j = -3; j <= 3; ++j) {
    const long series = kSarosAnchorSeries + b0 + 223 * j;
    const double miss = std::fabs(year - (roughFirstYear(series) + kHalfLifeYears));
    if (miss < bestMiss) {
      bestMiss = miss;
      best = series;
    }
  }
  return int(best);
}

SarosTable deriveSarosTable(std::span<const SarosEntry> entries) {
  SarosTable table{};
  for (auto& row : table.rows) row = {kNoSeries, kNoSeries};
  table.outOfRange = 0;
  for (const SarosEntry& e : entries) {
    const double s = e.saros;
    if (!(std::fabs(s) < kSarosTableRows) || s != std::trunc(s)) {
      ++table.outOfRange;
      continue;
    }
    const int row = int(std::fabs(s));
    // Series 0 sits in both columns of row 0.
    const bool positive = s > 0 || row == 0;
    const bool negative = s <= 0;
    if (positive && (table.rows[row][0] == kNoSeries || e.year < table.rows[row][0]))
      table.rows[row][0] = e.year;
    if (negative && (table.rows[row][1] == kNoSeries || e.year < table.rows[row][1]))
      table.rows[row][1] = e.year;
  }
  return table;
}

}  // namespace tarvo::canongen

namespace tarvo::canongen {

std::string formatSarosHeader(const SarosStartRows& rows) {
  std::string text =
      "// First years of the Saros series: row s holds the first TT year of series s\n"
      "// (column 1) and of series -s (column 2; row 0 is series 0 in both) in the\n"
      "// eclipse canon; 99999 marks a series without an entry in the canon.\n"
      "// Generated from the canon by `tarvo-canongen --saros-table DIR`; do not edit.\n"
      "#pragma once\n"
      "\n"
      "namespace tarvo::data {\n"
      "\n"
      "inline constexpr double kSarosStartTable[700][2] = {\n";
  char line[96];
  for (std::size_t s = 0; s < rows.size(); ++s) {
    std::snprintf(line, sizeof line, "    {%.0f, %.0f},\n", rows[s][0], rows[s][1]);
    text += line;
  }
  text += "};\n\n}  // namespace tarvo::data\n";
  return text;
}

}  // namespace tarvo::canongen
