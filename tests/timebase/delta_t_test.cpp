#include "timebase/delta_t.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "data/delta_t_smh2020.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

double smhAt(double year) { return deltaTSeconds(DeltaTModel::kSmh2020, (year - 2000.0) / 100.0); }
double sigmaAt(double year) { return publishedDeltaTSigmaSeconds((year - 2000.0) / 100.0); }

TEST(DeltaTModels, BuiltinIsTheProgramsModel) {
  for (double t = -150; t <= 150; t += 0.37) EXPECT_EQ(deltaTSeconds(DeltaTModel::kBuiltin, t), deltaTModel(t));
}

// The table of models: each row's name finds its model, and its functions
// are what deltaTSeconds and deltaTSigmaSeconds give for that model.
TEST(DeltaTModels, EachRowGivesItsNameValueAndSigma) {
  struct Row {
    DeltaTModel model;
    const char* name;
    double year, seconds, toleranceSeconds;  // a published value the model keeps
  };
  const Row rows[] = {{DeltaTModel::kBuiltin, "builtin", 2000, 63.8285, 1e-9},  // the yearly table
                      {DeltaTModel::kSmh2020, "smh2020", 2026, 69.1099, 1e-9}};  // the last observation
  ASSERT_EQ(deltaTModelTable().size(), std::size(rows));
  for (const Row& r : rows) {
    const DeltaTModelRow& row = deltaTModelTable()[static_cast<std::size_t>(r.model)];
    EXPECT_EQ(row.model, r.model);
    EXPECT_STREQ(deltaTModelName(r.model), r.name);
    EXPECT_EQ(deltaTModelFromName(r.name), r.model);
    const double t = (r.year - 2000.0) / 100.0;
    EXPECT_NEAR(deltaTSeconds(r.model, t), r.seconds, r.toleranceSeconds) << r.name;
    EXPECT_EQ(deltaTSeconds(r.model, t), row.seconds(t)) << r.name;
    EXPECT_EQ(deltaTSigmaSeconds(r.model, t), row.sigmaSeconds(t)) << r.name;
    const DeltaTChoice choice{r.model, 30};
    EXPECT_EQ(choice.secondsAt(t), row.seconds(t) + 30) << r.name;
  }
  EXPECT_EQ(deltaTModelTable().front().model, kDefaultDeltaTModel);
  EXPECT_FALSE(deltaTModelFromName("SMH2020"));
  EXPECT_FALSE(deltaTModelFromName(""));
}

// The builtin model's σ covers its own distance from each observed value
// (1 January, and half-way between), and from the smh2020 model where
// nothing was observed; never less than the published σ.
TEST(DeltaTSigma, BuiltinSigmaCoversItsDistanceFromWhatWasObserved) {
  const auto builtin = [](double year) { return deltaTSeconds(DeltaTModel::kBuiltin, (year - 2000.0) / 100.0); };
  const auto sigma = [](double year) { return deltaTSigmaSeconds(DeltaTModel::kBuiltin, (year - 2000.0) / 100.0); };
  const auto& observed = data::kDeltaTObserved;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double year = data::kDeltaTObservedFirstYear + static_cast<double>(i);
    EXPECT_GE(sigma(year), std::fabs(builtin(year) - observed[i])) << year;
    if (i + 1 < observed.size()) {
      const double between = 0.5 * (observed[i] + observed[i + 1]);
      EXPECT_GE(sigma(year + 0.5), std::fabs(builtin(year + 0.5) - between)) << year + 0.5;
    }
  }
  EXPECT_NEAR(sigma(2025.5), 75.4 - 69.1, testing::kSigmaBesideObservedS);  // builtin 75.4 s against the observed 69.1 s
  for (double year = -13000; year < 17000; year += 7.3) {
    EXPECT_GE(sigma(year), sigmaAt(year)) << year;
    EXPECT_GE(sigma(year), std::fabs(builtin(year) - smhAt(year))) << year;
  }
  EXPECT_GE(sigma(2100), 35);  // the two models 35 s apart there
}

// Nodes of Table S15.2020 (its a0 column, and the last row's end value) and
// the observed values of the US Naval Observatory / IERS on 1 January, which
// the spline follows within its smoothing.
TEST(Smh2020, PublishedNodesAndObservedValues) {
  struct Row {
    double year, seconds, tolerance;
  };
  const Row rows[] = {
      {-720, 20371.848, 1e-6}, {-100, 11557.668, 2e-3}, {400, 6535.116, 2e-3}, {1000, 1650.393, 2e-3},
      {1600, 109.127, 2e-3},   {1820, 16.516, 2e-3},    {2016, 68.109, 2e-3},  {2019, 69.240, 2e-3},
      {1970, 40.18, 0.3},      {1980, 50.54, 0.3},      {1990, 56.86, 0.3},    {2000, 63.83, 0.3},
      {2010, 66.07, 0.3},      {2020, 69.3612, 1e-9},   {2026, 69.1099, 1e-9},
  };
  for (const Row& r : rows) EXPECT_NEAR(smhAt(r.year), r.seconds, r.tolerance) << r.year;
  // The long-term parabola far from the spline.
  EXPECT_NEAR(smhAt(-5000), -320 + 32.5 * 68.25 * 68.25, testing::kLargeValueRounding);
  EXPECT_NEAR(smhAt(10000), -320 + 32.5 * 81.75 * 81.75, testing::kLargeValueRounding);
}

// No piece of the model may step: at every join the values a microyear on
// either side agree within 0.1 s (the slope is under 20 s/year there).
TEST(Smh2020, NoStepAtAnyJoin) {
  std::vector<double> joins = {kSmh2020PastBlendStart, 2026.0 + kSmh2020FutureBlendYears};
  for (double y = -100; y <= 1000; y += 500) joins.push_back(y);
  for (double y : {-720.0, 1150.0, 1300.0, 1500.0, 1600.0, 1650.0, 1720.0, 1800.0}) joins.push_back(y);
  for (double y = 1810; y <= 1850; y += 10) joins.push_back(y);
  for (double y = 1855; y <= 1950; y += 5) joins.push_back(y);
  for (double y = 1953; y <= 2019; y += 3) joins.push_back(y);
  for (double y = 2020; y <= 2026; y += 1) joins.push_back(y);
  for (const double y : joins) EXPECT_NEAR(smhAt(y - 1e-6), smhAt(y + 1e-6), testing::kSplineKnotS) << y;
  // The blends also keep the slope: a year on either side of each end
  // differs from the joined piece by second-order terms only.
  for (const double y : {kSmh2020PastBlendStart, 2026.0 + kSmh2020FutureBlendYears}) {
    const double left = smhAt(y) - smhAt(y - 1), right = smhAt(y + 1) - smhAt(y);
    EXPECT_NEAR(left, right, testing::kBlendSlopeS) << y;
  }
}

TEST(DeltaTSigma, PublishedAnchors) {
  struct Anchor {
    double year, sigma;
  };
  for (const Anchor a : {Anchor{-1000, 636}, {0, 265}, {1000, 54}, {1300, 20}, {1450, 20}, {1600, 20},
                         {1700, 5}, {1800, 1}}) {
    EXPECT_NEAR(sigmaAt(a.year), a.sigma, testing::kPublishedSigmaRelative * a.sigma) << a.year;
  }
  for (double y = 1955; y <= 2026; y += 0.5) EXPECT_LT(sigmaAt(y), 0.1) << y;
  EXPECT_GE(sigmaAt(3000), 100);
  EXPECT_LE(sigmaAt(3000), 300);
  // Same long-term form beyond, and no step anywhere: dense sampling.
  EXPECT_NEAR(sigmaAt(-5000), 0.8 * 68.2 * 68.2, testing::kLargeValueRounding);
  double previous = sigmaAt(-13000);
  for (double y = -12999.9; y < 17000; y += 0.1) {
    const double s = sigmaAt(y);
    ASSERT_NEAR(s, previous, testing::kSigmaStepS) << y;
    previous = s;
  }
}

TEST(DeltaTSigma, StatusText) {
  EXPECT_EQ(deltaTUncertaintyText(10441.3, sigmaAt(0)), "ΔT 10441 ± 265 s (±1.1° in longitude)");
  EXPECT_EQ(deltaTUncertaintyText(25427.7, sigmaAt(-1000)), "ΔT 25428 ± 636 s (±2.7° in longitude)");
  EXPECT_EQ(deltaTUncertaintyText(69.14, 0.05), "ΔT 69.1 ± 0.05 s (±0.00021° in longitude)");
}

// The drag: σ/10 a step, clamped to the adjustment's range, and its line.
TEST(DeltaTSigma, DragStepsAndTheirText) {
  const double sigma = 265.0;
  EXPECT_DOUBLE_EQ(steppedDeltaTAdjust(0, sigma, 1, -10000, 10000), 26.5);
  EXPECT_DOUBLE_EQ(steppedDeltaTAdjust(26.5, sigma, -3, -10000, 10000), -53.0);
  EXPECT_DOUBLE_EQ(steppedDeltaTAdjust(9990, sigma, 1, -10000, 10000), 10000);
  EXPECT_DOUBLE_EQ(steppedDeltaTAdjust(0, 0.0, 1, -10000, 10000), 0.001);  // σ taken as 0.01 s at least
  EXPECT_EQ(deltaTAdjustmentText(0, sigma), "model");
  EXPECT_EQ(deltaTAdjustmentText(79.5, sigma), "model +0.30 σ (+80 s)");
  EXPECT_EQ(deltaTAdjustmentText(-26.5, sigma), "model -0.10 σ (-26 s)");
  EXPECT_EQ(deltaTAdjustmentText(0.005, 0.05), "model +0.10 σ (+0.01 s)");
}

}  // namespace
}  // namespace tarvo
