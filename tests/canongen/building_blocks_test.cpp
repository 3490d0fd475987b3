// The generator's parts: the shadow-axis projection (against ERFA's angular
// separation and position angle), the fits, the lunation numbers, the Saros
// table derivation and the canon text.
#include <erfa.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/angles.h"
#include "tools/canongen/canon_files.h"
#include "tools/canongen/least_squares.h"
#include "tools/canongen/lunation.h"
#include "tools/canongen/saros_numbering.h"
#include "tools/canongen/shadow_geometry.h"
#include "tests/tolerances.h"

namespace tarvo::canongen {
namespace {

EphemerisSample at(double ra, double dec, double km = 384400.0) { return {ra, dec, km}; }

// hypot(x, y) is the angular distance from the antisolar point, and the
// direction is ERFA's position angle (from north through east).
TEST(AxisOffset, DistanceAndDirectionMatchErfa) {
  const double suns[][2] = {{10.0, 5.0}, {200.0, -23.4}, {359.9, 0.3}, {90.0, 23.44}};
  const double offsets[][2] = {{0.3, 0.2}, {-1.2, 0.9}, {0.0, -1.5}, {2.0, 0.0}, {-0.01, 0.02}};
  for (const auto& s : suns) {
    const double axisRa = std::fmod(s[0] + 180.0, 360.0), axisDec = -s[1];
    for (const auto& o : offsets) {
      const double moonRa = std::fmod(axisRa + o[0] + 360.0, 360.0), moonDec = axisDec + o[1];
      const AxisOffset got = axisOffset(at(s[0], s[1], 1.5e8), at(moonRa, moonDec));
      const double sepArcsec =
          eraSeps(axisRa * kDegToRad, axisDec * kDegToRad, moonRa * kDegToRad, moonDec * kDegToRad) *
          kArcsecPerRadian;
      const double pa =
          eraPas(axisRa * kDegToRad, axisDec * kDegToRad, moonRa * kDegToRad, moonDec * kDegToRad);
      EXPECT_NEAR(std::hypot(got.xArcsec, got.yArcsec), sepArcsec, testing::kLargeValueRounding);
      EXPECT_NEAR(got.xArcsec, sepArcsec * std::sin(pa), testing::kLargeValueRounding);
      EXPECT_NEAR(got.yArcsec, sepArcsec * std::cos(pa), testing::kLargeValueRounding);
    }
  }
}

TEST(AxisOffset, EastIsIncreasingRightAscensionNorthIsIncreasingDeclination) {
  const EphemerisSample sun = at(100.0, 10.0, 1.5e8);  // axis at RA 280, Dec −10
  const AxisOffset east = axisOffset(sun, at(280.5, -10.0));
  EXPECT_GT(east.xArcsec, 0.0);
  const AxisOffset north = axisOffset(sun, at(280.0, -9.5));
  EXPECT_GT(north.yArcsec, 0.0);
  EXPECT_NEAR(north.xArcsec, 0.0, testing::kLongChainRounding);
  EXPECT_NEAR(north.yArcsec, 1800.0, testing::kLargeValueRounding);
}

TEST(ShadowRadii, ThreeRulesAtMeanDistances) {
  const EphemerisSample sun = at(0, 0, 149597870.7), moon = at(180, 0, 384400.0);
  const ShadowRadii almanac = shadowRadii(sun, moon, RadiusRule::Almanac);
  const ShadowRadii danjon = shadowRadii(sun, moon, RadiusRule::Danjon);
  const ShadowRadii plain = shadowRadii(sun, moon, RadiusRule::Plain);
  // Mean distances: the Moon's parallax 3422.4", the Sun's 8.79" and
  // semi-diameter 959.6"; the umbra is about 2.7 Moon radii.
  EXPECT_NEAR(almanac.moonSemiDiameterArcsec, 932.6, testing::kSemiDiameterArcsec);
  EXPECT_NEAR(danjon.umbraArcsec, 1.01 * 3422.4 + 8.79 - 959.6, testing::kShadowRadiusArcsec);
  EXPECT_NEAR(plain.penumbraArcsec, (3422.4 + 8.79 + 959.6) * 1.02, testing::kShadowRadiusArcsec);
  EXPECT_NEAR(almanac.penumbraArcsec, 1.02 * (0.998340 * 3422.4 + 8.79 + 959.6), testing::kShadowRadiusArcsec);
  EXPECT_NEAR(almanac.umbraArcsec, 1.02 * (0.998340 * 3422.4 + 8.79 - 959.6), testing::kShadowRadiusArcsec);
  // The almanac's penumbra lies between the other two, its umbra is the largest.
  EXPECT_GT(plain.penumbraArcsec, almanac.penumbraArcsec + 5.0);
  EXPECT_GT(almanac.penumbraArcsec, danjon.penumbraArcsec + 20.0);
  EXPECT_GT(almanac.umbraArcsec, danjon.umbraArcsec + 5.0);
}

TEST(Magnitudes, GrazingAndCentral) {
  const ShadowRadii r{4500.0, 2600.0, 900.0};
  EXPECT_NEAR(magnitudesAt(r, 4500.0 + 900.0).penumbral, 0.0, testing::kFewOperationsRounding);  // external penumbral tangency
  EXPECT_NEAR(magnitudesAt(r, 2600.0 - 900.0).umbral, 1.0, testing::kFewOperationsRounding);     // internal umbral tangency
  EXPECT_LT(magnitudesAt(r, 3600.0).umbral, 0.0);
}

TEST(Gamma, SignFollowsTheMoonNorthOrSouth) {
  const EphemerisSample moon = at(0, 0, 6378.137 * 60.0);
  const double oneDegree = 3600.0;
  EXPECT_NEAR(gammaAt({0.0, oneDegree}, moon), std::sin(kDegToRad) * 60.0, testing::kLongChainRounding);
  EXPECT_NEAR(gammaAt({0.0, -oneDegree}, moon), -std::sin(kDegToRad) * 60.0, testing::kLongChainRounding);
}

TEST(LeastSquares, RecoversAnExactCubicAndRejectsTooFewPoints) {
  std::vector<double> t, f;
  for (int i = 0; i <= 20; ++i) {
    const double ti = -3.5 + 0.35 * i;
    t.push_back(ti);
    f.push_back(1234.5 - 1800.25 * ti + 0.75 * ti * ti - 0.0125 * ti * ti * ti);
  }
  const auto c = fitPolynomial(t, f, 3);
  ASSERT_TRUE(c.has_value());
  EXPECT_NEAR((*c)[0], 1234.5, testing::kExactFitCoefficient);
  EXPECT_NEAR((*c)[1], -1800.25, testing::kExactFitCoefficient);
  EXPECT_NEAR((*c)[2], 0.75, testing::kExactFitCoefficient);
  EXPECT_NEAR((*c)[3], -0.0125, testing::kExactFitCoefficient);
  EXPECT_LT(largestResidual(*c, t, f), 1e-8);
  const std::vector<double> two = {1.0, 1.0, 1.0, 1.0}, values = {1, 2, 3, 4};
  EXPECT_FALSE(fitPolynomial(two, values, 1).has_value());  // one distinct abscissa
  EXPECT_FALSE(fitPolynomial(std::vector<double>{0, 1}, std::vector<double>{0, 1}, 3).has_value());
}

TEST(LeastSquares, StraightLineThroughAParabolaMissesTheEndsByTwoThirds) {
  // f = t² on [−1, 1], densely sampled: the fit is 1/3 and misses the ends by 2/3.
  std::vector<double> t, f;
  for (int i = 0; i <= 2000; ++i) {
    t.push_back(-1.0 + i / 1000.0);
    f.push_back(t.back() * t.back());
  }
  const auto c = fitPolynomial(t, f, 1);
  ASSERT_TRUE(c.has_value());
  EXPECT_NEAR(largestResidual(*c, t, f), 2.0 / 3.0, testing::kFitResidual);
}

TEST(Lunation, NumbersRoundTripAndMonthIsSynodic) {
  for (long n = -200000; n <= 200000; n += 997) {
    EXPECT_EQ(lunationNear(meanFullMoonJd(n)), n);
    EXPECT_EQ(lunationNear(meanFullMoonJd(n) + 14.0), n);
    EXPECT_EQ(lunationNear(meanFullMoonJd(n) - 14.0), n);
    EXPECT_NEAR(meanFullMoonJd(n + 1) - meanFullMoonJd(n), kMeanSynodicMonthDays, testing::kMeanLunationD);
  }
  // Full moon 0 is 2000 January 21 (JD 2451564.7, TT).
  EXPECT_NEAR(meanFullMoonJd(0), 2451564.7, testing::kMeanFullMoonD);
}

TEST(Saros, SeriesFromLunationNumber) {
  EXPECT_EQ(sarosSeries(311, 2025), 123);
  EXPECT_EQ(sarosSeries(311 + 223, 2043), 123);        // next member
  EXPECT_EQ(sarosSeries(311 + 358, 2054), 124);        // next series
  EXPECT_EQ(sarosSeries(311 - 358, 1996), 122);
  EXPECT_EQ(sarosSeries(0, 2000), 124);                // 2000 January 21
  EXPECT_EQ(sarosSeries(-49456, -1999), 17);           // catalogue number 00001
}

TEST(Saros, TableTakesTheFirstYearAndSplitsTheSigns) {
  const std::vector<SarosEntry> entries = {
      {-2600, 1}, {-2570, 1}, {-2653, 0}, {-2664, -1}, {-2700, -1}, {16000, 690}, {0, 700}, {0, 1.5}};
  const SarosTable t = deriveSarosTable(entries);
  EXPECT_EQ(t.rows[1][0], -2600);
  EXPECT_EQ(t.rows[1][1], -2700);
  EXPECT_EQ(t.rows[0][0], -2653);
  EXPECT_EQ(t.rows[0][1], -2653);
  EXPECT_EQ(t.rows[690][0], 16000);
  EXPECT_EQ(t.rows[690][1], kNoSeries);
  EXPECT_EQ(t.rows[2][0], kNoSeries);
  EXPECT_EQ(t.outOfRange, 2);
  const std::string header = formatSarosHeader(t.rows);
  EXPECT_NE(header.find("inline constexpr double kSarosStartTable[700][2] = {\n    {-2653, -2653},\n    {-2600, -2700},\n"),
            std::string::npos);
}

TEST(CanonText, ThreeLinesOf11And10And10NumbersAndReadBack) {
  std::array<double, EclipseRecord::kValueCount> v{};
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = (i % 2 ? -1.0 : 1.0) * (i + 0.123456789012345);
  v[0] = -12999;
  const std::string text = formatEntry(EclipseRecord::fromValues(v));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(start, text.size());
  const std::size_t counts[] = {11, 10, 10};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ' '), long(counts[i] - 1));
    EXPECT_EQ(lines[i].find("  "), std::string::npos);
  }
  EXPECT_EQ(lines[0].substr(0, 25), "-12999 -1.12345678901 2.1");

  const auto dir = std::filesystem::temp_directory_path() / ("canongen_text_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  ASSERT_EQ(writeFileAtomically(dir, "a.prn", text + text), "");
  const CanonReadBack back = readCanonFile(dir / "a.prn");
  EXPECT_EQ(back.error, "");
  ASSERT_EQ(back.entries.size(), 2u);
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(back.entries[1].values()[i], v[i], testing::kTwelveDigitsRelative * std::fabs(v[i]));
  // Nothing but the target is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
  // A cut entry is an error, the entries before it kept.
  { std::ofstream(dir / "b.prn") << text << "1 2 3\n"; }
  const CanonReadBack cut = readCanonFile(dir / "b.prn");
  EXPECT_NE(cut.error, "");
  EXPECT_EQ(cut.entries.size(), 1u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarvo::canongen
