// The sky chart's tables and small rules: the object table, packed
// sexagesimal places, rounding, grid interpolation, Kepler's equation, the
// theories' epochs and the chart's drawing rules.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "base/angles.h"
#include "sky/planets.h"
#include "sky/sky_objects.h"
#include "sky/sky_places.h"
#include "sky/sun_moon.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

TEST(SkyObjectTable, LayoutAndTellingEntries) {
  const auto& table = skyObjectTable();
  ASSERT_EQ(table.size(), 98u);
  EXPECT_STREQ(table[0].name, "Moon");
  EXPECT_EQ(table[0].magnitude, -10.0);
  EXPECT_STREQ(table[5].name, "Saturn");
  // 47 distinct named stars brighter than 2.0, then 45 unnamed ones of 2.0 to 2.5, each by right ascension.
  std::set<std::string> names;
  for (std::size_t n = kFirstStarIndex; n < table.size(); ++n) {
    const bool named = n < 53;
    if (named) names.insert(table[n].name);
    EXPECT_EQ(std::string(table[n].name) == " ", !named) << n;
    EXPECT_EQ(table[n].magnitude < 2.0, named) << n;
    EXPECT_LE(table[n].magnitude, 2.5) << n;
    EXPECT_TRUE(n == kFirstStarIndex || n == 53 || table[n].raPacked > table[n - 1].raPacked) << n;
  }
  EXPECT_EQ(names.size(), 47u);
  EXPECT_STREQ(table[20].name, "Sirius");
  EXPECT_EQ(table[20].pmDec, -1.12);
  EXPECT_EQ(table[97].decPacked, 15.1219);
}

TEST(PackedPlaces, DecodeHoursAndSignedDegrees) {
  struct Case {
    double packed;
    bool hours;
    double degrees;
  };
  const Case cases[] = {
      {6.45089, true, (6 + 45.0 / 60 + 8.9 / 3600) * 15},  // 101.28708°
      {1.37429, true, (1 + 37.0 / 60 + 42.9 / 3600) * 15},
      {-16.4258, false, -(16 + 42.0 / 60 + 58.0 / 3600)},  // −16.71611°
      {-0.1757, false, -(17.0 / 60 + 57.0 / 3600)},        // −0.29917°: the sign covers minutes and seconds
      {89.1551, false, 89 + 15.0 / 60 + 51.0 / 3600},
      {0.0, false, 0.0},
  };
  for (const Case& c : cases) {
    const double got = c.hours ? packedHoursToDegrees(c.packed) : packedDegreesToDegrees(c.packed);
    EXPECT_NEAR(got, c.degrees, testing::kLongChainRounding) << c.packed;
  }
}

TEST(StarPlaces, SpaceMotionRowsAreTheTableStarsAndUnmovedAtJ2000) {
  for (std::size_t n = kFirstStarIndex; n < kSkyObjectCount; ++n) {
    const SkyObjectEntry& star = skyObjectTable()[n];
    const StarSpaceMotion& motion = starSpaceMotion(n);
    // The same star: the table's packed J2000 place within 4" of the
    // catalogue's, but for gamma Cas, whose packed 60.43 reads as 60°42'100" (40" off).
    const double dec = packedDegreesToDegrees(star.decPacked);
    const double tolerance = n == 58 ? 41.0 / 3600 : 4.0 / 3600;
    EXPECT_NEAR(angleDiffDeg(motion.raDeg, packedHoursToDegrees(star.raPacked)) * std::cos(degToRad(dec)), 0.0,
                tolerance) << n;
    EXPECT_NEAR(motion.decDeg, dec, tolerance) << n;
    // At J2000 only the frame bias (below 0.03") separates the place from the catalogue's.
    const EquatorialPlace p = starPlaceOfDate(2451545.0, motion);
    EXPECT_NEAR(angleDiffDeg(p.ra, motion.raDeg) * std::cos(degToRad(dec)), 0.0, testing::kFrameBiasDeg) << n;
    EXPECT_NEAR(p.dec, motion.decDeg, testing::kFrameBiasDeg) << n;
  }
  // The pole star (entry 63) drifts away from the pole over millennia but stays northern.
  for (double jd : {2451545.0 - 36525 * 50.0, 2451545.0 + 36525 * 50.0})
    EXPECT_GT(starPlaceOfDate(jd, starSpaceMotion(62)).dec, 0.0);
}

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  struct Case {
    double x;
    int places;
    double expected;
  };
  const Case cases[] = {{0.125, 2, 0.13}, {-0.125, 2, -0.13}, {0.0449, 3, 0.045}, {0.004, 2, 0.0},
                        {-0.5049, 3, -0.505}, {1.234, 2, 1.23}, {0.0, 2, 0.0}, {-0.0051, 2, -0.01}};
  for (const Case& c : cases) EXPECT_NEAR(roundHalfAway(c.x, c.places), c.expected, testing::kFewOperationsRounding) << c.x;
}

TEST(GridValue, BilinearBetweenNodesAndAtTheEdges) {
  PerturbationGrid grid{};
  for (int row = 0; row < 37; ++row)
    for (int col = 0; col < 37; ++col) grid[row][col] = 100.0 * row + col;  // linear in both arguments
  struct Case {
    double g1, g2, expected;
  };
  const Case cases[] = {
      {0.0, 0.0, 0.0},            // row and column 0 with zero fractions
      {15.0, 0.0, 1.5},           // halfway between columns 1 and 2
      {0.0, 25.0, 250.0},         // halfway between rows 2 and 3
      {359.999, 0.0, 35.9999},    // just below 360: between columns 35 and 36
      {0.0, 359.999, 3599.99},    // between rows 35 and 36
      {123.4, 234.5, 2345.0 + 12.34},
  };
  for (const Case& c : cases) EXPECT_NEAR(gridValue(grid, c.g1, c.g2), c.expected, testing::kLongChainRounding) << c.g1 << " " << c.g2;
  // A product surface checks that the two directions are not swapped.
  for (int row = 0; row < 37; ++row)
    for (int col = 0; col < 37; ++col) grid[row][col] = row == 1 && col == 2 ? 8.0 : 0.0;
  EXPECT_NEAR(gridValue(grid, 20.0, 10.0), 8.0, testing::kFewOperationsRounding);
  EXPECT_NEAR(gridValue(grid, 10.0, 20.0), 0.0, testing::kFewOperationsRounding);
  EXPECT_NEAR(gridValue(grid, 15.0, 5.0), 2.0, testing::kFewOperationsRounding);
}

TEST(PlanetGrids, RowZeroAsFixedAndSmallIntegers) {
  const PlanetCorrectionGrids& g = planetCorrectionGrids();
  const PerturbationGrid* all[7] = {&g.j1, &g.j2, &g.j3, &g.s1, &g.s2, &g.s3, &g.s4};
  // Telling values of row 0 (g2 = 0°) and row 36 (the same line, 360°), columns 0, 17, 35 and 36.
  const double row0[7][4] = {{-2, 2, 1, -2}, {0, 2, -1, 0}, {4, -4, 4, 4}, {55, 43, 53, 55},
                             {33, 67, 32, 33}, {54, 51, 51, 54}, {83, 74, 83, 83}};
  for (int n = 0; n < 7; ++n) {
    const int cols[4] = {0, 17, 35, 36};
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ((*all[n])[0][cols[c]], row0[n][c]) << n << " " << cols[c];
      EXPECT_EQ((*all[n])[36][cols[c]], row0[n][c]) << n << " " << cols[c];
    }
    for (const auto& row : *all[n])
      for (double v : row) EXPECT_TRUE(v == std::round(v) && std::fabs(v) < 100.0) << n << " " << v;
  }
}

TEST(Kepler, ConvergesForTheMoonAndReportsFailure) {
  const double e = 0.05490897;
  const KeplerSolution zero = solveKepler(0.0, e);
  EXPECT_TRUE(zero.converged);
  EXPECT_EQ(zero.eccentricAnomaly, 0.0);
  for (double m = 0.1; m < 6.3; m += 0.37) {
    const KeplerSolution s = solveKepler(m, e);
    EXPECT_TRUE(s.converged);
    EXPECT_NEAR(s.eccentricAnomaly - e * std::sin(s.eccentricAnomaly), m, testing::kKeplerResidualRad);
  }
  // Input that cannot converge ends the loop with the flag down instead of looping or claiming success.
  EXPECT_FALSE(solveKepler(std::nan(""), e).converged);
  EXPECT_FALSE(solveKepler(INFINITY, e).converged);
  EXPECT_FALSE(solveKepler(1.0, std::nan("")).converged);
}

TEST(SunAndMoon, EpochValuesAndFixedFields) {
  // At 1900 January 1, 12h the Sun's mean anomaly is −0.5382° (not reduced).
  const double m = degToRad(-0.5382);
  EXPECT_NEAR(sunPosition(2415021.0).longitude, 280.6824 + 1.91946 * std::sin(m) + 0.0200939 * std::sin(2 * m), testing::kLongChainRounding);
  for (double jd : {2415021.0, 2451545.0, 1000000.0, 5000000.0}) {
    const BodyPosition s = sunPosition(jd);
    EXPECT_TRUE(s.latitude == 0.0 && s.z == 0.0 && s.magnitude == -10.0) << jd;
    EXPECT_NEAR(std::hypot(s.x, s.y), s.distance, testing::kFewOperationsRounding);
    EXPECT_NEAR(s.semiDiameter, 0.2666 / s.distance, testing::kSmallValueRounding);
    const BodyPosition moon = moonPosition(jd);
    EXPECT_TRUE(moon.longitude >= 0.0 && moon.longitude < 360.0 && std::fabs(moon.latitude) <= 5.3) << jd;
  }
}

TEST(Planets, MagnitudesAndDistancesWithinTheirKnownRanges) {
  struct Case {
    int code;
    double faintest, brightest, minDistance, maxDistance;
  };
  const Case cases[] = {{kMercury, 6.0, -2.5, 0.5, 1.5}, {kVenus, -3.5, -5.0, 0.25, 1.75},
                        {kMars, 2.5, -3.0, 0.35, 2.7},   {kJupiter, -1.4, -3.0, 3.9, 6.5},
                        {kSaturn, 1.6, -0.6, 7.9, 11.1}};
  for (const Case& c : cases)
    for (double jd = 2451545.0; jd < 2451545.0 + 3650; jd += 73) {
      const BodyPosition p = planetPosition(jd, c.code);
      EXPECT_TRUE(p.magnitude <= c.faintest && p.magnitude >= c.brightest) << c.code << " " << p.magnitude;
      EXPECT_TRUE(p.distance >= c.minDistance && p.distance <= c.maxDistance) << c.code << " " << p.distance;
    }
}

TEST(ChartPlaces, OrderNamesAndDrawingRules) {
  const double jd = 2460748.79;
  for (double lat : {-60.0, 0.0, 40.713, 89.0})
    for (double lon : {-150.0, -74.006, 0.0, 139.7}) {
      const std::vector<SkyPlace> places = skyChartPlaces(jd, lat, lon);
      ASSERT_EQ(places.size(), 99u);
      EXPECT_EQ(places[0].name, "Moon");
      EXPECT_EQ(places[1].name, "Sun");
      EXPECT_EQ(places[0].magnitude, -6.0);
      EXPECT_EQ(places[1].magnitude, -6.0);
      for (std::size_t i = 2; i < places.size(); ++i)
        EXPECT_EQ(places[i].name, skyObjectTable()[i - 1].name) << i;
      for (std::size_t i = 0; i < places.size(); ++i) {
        const SkyPlace& p = places[i];
        const double lowest = i == 0 ? 10.0 : 0.0;
        EXPECT_EQ(p.drawn, p.altitudeDeg > lowest) << p.name << " " << lat << " " << lon;
        EXPECT_GT(p.azimuthDeg, -180.0);
        EXPECT_LE(p.azimuthDeg, 180.0);
        EXPECT_LE(std::fabs(p.altitudeDeg), 90.0);
        if (i >= 7) {
          EXPECT_EQ(p.magnitude, skyObjectTable()[i - 1].magnitude);
        }
      }
    }
}

}  // namespace
}  // namespace tarvo
