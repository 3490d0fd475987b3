// The generator against published eclipse data. The modern reference canon
// (Five Millennium Canon of Lunar Eclipses, -1999 to +3000, F. Espenak and
// J. Meeus, NASA/TP-2009-214172, its catalogue 5MKLEcatalog.txt and the
// century tables LEcat5/LE*.html) uses Danjon's enlargement of the shadow, so
// these rows are compared with magnitudes computed by Danjon's rule. Times
// are TD (= TT) of greatest eclipse, so ΔT never enters.
#include <gtest/gtest.h>

#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/error_stats.h"
#include "tools/canongen/eclipse_finder.h"
#include "tools/canongen/lunation.h"
#include "tools/canongen/swiss_ephemeris.h"
#include "tests/tolerances.h"

namespace tarvo::canongen {
namespace {

using testing::ErrorStats;
using testing::expectNoMisses;

// Greatest eclipse: ephemerides agree to seconds since 1000, to about a
// minute in antiquity (DE406 behind the catalogue, DE431 behind the files).
constexpr double kModernTimeToleranceSeconds = 10.0;
constexpr double kAncientTimeToleranceSeconds = 90.0;
constexpr double kGammaTolerance = 0.0005;           // Earth radii
constexpr double kUmbralTolerance = 0.001;           // magnitude
constexpr double kPenumbralTolerance = 0.002;        // magnitude

struct PublishedRow {
  const char* source;
  int year, month, day;               // calendar date of greatest eclipse (TD)
  std::optional<double> tdHours;      // TD of greatest eclipse, hours
  int type;                           // 1 total, 2 partial, 3 penumbral; 0 not published
  int saros;                          // 0 not published
  std::optional<double> gamma, penumbral, umbral;
};

constexpr double hms(int h, int m, int s) { return h + m / 60.0 + s / 3600.0; }

const char* const kCatalogue = "5MKLEcatalog.txt";
const char* const kSaros021 = "LEsaros/LEsaros021.html (first and last eclipse)";
const char* const kSaros029 = "LEsaros/LEsaros029.html (first and last eclipse)";

// Rows copied column by column from the sources named.
const std::vector<PublishedRow> kRows = {
    // Catalogue number 00001, the first eclipse of the catalogue.
    {kCatalogue, -1999, 6, 26, hms(14, 13, 28), 3, 17, -1.0981, 0.8791, -0.1922},
    // The first and last members of two series: grazing penumbral eclipses.
    {kSaros021, -1955, 2, 22, hms(3, 20, 0), 3, 21, {}, {}, {}},
    {kSaros029, -1814, 7, 21, hms(10, 4, 42), 3, 29, {}, {}, {}},
    {kSaros021, -639, 4, 23, hms(0, 10, 14), 3, 21, {}, {}, {}},
    {kSaros029, -336, 12, 24, hms(17, 6, 19), 3, 29, {}, {}, {}},
    // LEcat5/LE-0099-0000.html: largest total eclipse of the century.
    {"LEcat5/LE-0099-0000.html (century extrema)", -51, 4, 1, {}, 1, 0, {}, {}, 1.8774},
    // Wikipedia "List of central lunar eclipses", from the same canon.
    {"List of central lunar eclipses (Espenak)", 1902, 4, 22, {}, 1, 120, -0.2680, {}, 1.3327},
    {kCatalogue, 2000, 1, 21, hms(4, 44, 34), 1, 124, -0.2957, 2.3060, 1.3246},
    {kCatalogue, 2013, 4, 25, hms(20, 8, 38), 2, 112, -1.0121, 0.9866, 0.0148},
    {kCatalogue, 2015, 4, 4, hms(12, 1, 24), 1, 132, 0.4460, 2.0792, 1.0008},
    {kCatalogue, 2023, 5, 5, hms(17, 24, 5), 3, 141, -1.0349, 0.9636, -0.0457},
    {kCatalogue, 2024, 9, 18, hms(2, 45, 25), 2, 118, -0.9792, 1.0372, 0.0848},
    {kCatalogue, 2025, 3, 14, hms(6, 59, 56), 1, 123, 0.3484, 2.2595, 1.1784},
    // Penumbral magnitude 0.0014: the Moon grazes the penumbra.
    {kCatalogue, 2027, 7, 18, hms(16, 4, 9), 3, 110, -1.5758, 0.0014, -1.0680},
    {kCatalogue, 2029, 6, 26, hms(3, 23, 22), 1, 130, 0.0124, 2.8266, 1.8436},
    {kCatalogue, 2031, 6, 5, hms(11, 45, 17), 3, 150, 1.4731, 0.1292, -0.8199},
    // Umbral magnitude 0.0144: the Moon grazes the umbra.
    {kCatalogue, 2034, 9, 28, hms(2, 47, 37), 2, 147, -1.0110, 0.9911, 0.0144},
    {kCatalogue, 2047, 7, 7, hms(10, 35, 45), 1, 130, -0.0636, 2.7310, 1.7513},
    {kCatalogue, 2620, 10, 3, hms(20, 33, 57), 3, 166, 1.0976, 0.8736, -0.1853},
};

double julianDayTD(int year, int month, int day, double hours) {
  const bool julian = year < 1582 || (year == 1582 && (month < 10 || (month == 10 && day < 15)));
  return swe_julday(year, month, day, hours, julian ? SE_JUL_CAL : SE_GREG_CAL);
}

TEST(PublishedRows, DanjonRuleMatchesTheReferenceCanon) {
  SwissEphemeris ephemeris;
  ErrorStats time, gamma{kGammaTolerance}, penumbral{kPenumbralTolerance}, umbral{kUmbralTolerance};
  for (const PublishedRow& row : kRows) {
    const std::string where = std::to_string(row.year) + "-" + std::to_string(row.month) + "-" +
                              std::to_string(row.day) + " from " + row.source;
    SCOPED_TRACE(where);
    const double published = julianDayTD(row.year, row.month, row.day, row.tdHours.value_or(12.0));
    const LunationResult got = examineLunation(ephemeris, lunationNear(published), RadiusRule::Danjon);
    ASSERT_EQ(got.outcome, LunationOutcome::Eclipse);
    const EclipseRecord& e = got.entry;
    EXPECT_EQ(e.year, row.year);
    EXPECT_EQ(e.month, row.month);
    EXPECT_EQ(e.eclipseDay, row.day);
    if (row.type != 0) {
      EXPECT_EQ(e.eclipseType, row.type);
    }
    if (row.saros != 0) {
      EXPECT_EQ(e.saros, row.saros);
    }
    if (row.tdHours) {
      time.tolerance = row.year < 1000 ? kAncientTimeToleranceSeconds : kModernTimeToleranceSeconds;
      time.add((e.greatestJd - published) * 86400.0, where);
    }
    if (row.gamma) gamma.add(e.gamma - *row.gamma, where);
    if (row.penumbral) penumbral.add(e.penumbralMagnitude - *row.penumbral, where);
    if (row.umbral) umbral.add(e.umbralMagnitude - *row.umbral, where);
  }
  std::printf("published rows: %zu\n", kRows.size());
  expectNoMisses(time, "greatest eclipse", "s");
  expectNoMisses(gamma, "gamma");
  expectNoMisses(penumbral, "penumbral magnitude");
  expectNoMisses(umbral, "umbral magnitude");
}

// The canon's own rule on the two rows whose almanac-rule magnitudes are known.
TEST(PublishedRows, AlmanacRuleMagnitudes) {
  struct AlmanacRow {
    int year, month, day;
    double penumbral, umbral;
  };
  const AlmanacRow rows[] = {{2025, 3, 14, 2.2855, 1.1829}, {2000, 1, 21, 2.3310, 1.3300}};
  SwissEphemeris ephemeris;
  for (const AlmanacRow& row : rows) {
    SCOPED_TRACE(row.year);
    const double jd = julianDayTD(row.year, row.month, row.day, 12.0);
    const LunationResult got = examineLunation(ephemeris, lunationNear(jd), RadiusRule::Almanac);
    ASSERT_EQ(got.outcome, LunationOutcome::Eclipse);
    // The values are given to four decimals.
    EXPECT_NEAR(got.entry.penumbralMagnitude, row.penumbral, testing::kPublishedFourDecimals);
    EXPECT_NEAR(got.entry.umbralMagnitude, row.umbral, testing::kPublishedFourDecimals);
  }
}

// Lunation numbers agree with the reference canon's "Luna Num" column.
TEST(PublishedRows, LunationNumbersMatchTheCatalogue) {
  EXPECT_EQ(lunationNear(julianDayTD(-1999, 6, 26, hms(14, 13, 28))), -49456);
  EXPECT_EQ(lunationNear(julianDayTD(2025, 3, 14, hms(6, 59, 56))), 311);
  EXPECT_EQ(lunationNear(julianDayTD(2620, 10, 3, hms(20, 33, 57))), 7677);
  EXPECT_EQ(lunationNear(julianDayTD(2000, 1, 21, hms(4, 44, 34))), 0);
}

}  // namespace
}  // namespace tarvo::canongen
