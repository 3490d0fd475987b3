#include "timebase/delta_t.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "base/text_format.h"
#include "data/delta_t_smh2020.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

using data::kDeltaTObserved;
using data::kDeltaTObservedFirstYear;
using data::kDeltaTSpline2020;

// The long-term parabola of the 2016 analysis, seconds, and its slope (s/year).
double longTermParabola(double year) {
  const double u = (year - 1825.0) / 100.0;
  return -320.0 + 32.5 * u * u;
}
double longTermParabolaSlope(double year) { return 0.65 * (year - 1825.0) / 100.0; }

struct ValueAndSlope {
  double value, slope;  // s, s/year
};

ValueAndSlope splineAt(const data::DeltaTSplineSegment& s, double year) {
  const double w = s.k1 - s.k0;
  const double t = (year - s.k0) / w;
  return {s.a0 + t * (s.a1 + t * (s.a2 + t * s.a3)), (s.a1 + t * (2.0 * s.a2 + 3.0 * t * s.a3)) / w};
}

// The cubic over [x0, x1] with the given values and slopes at both ends.
double hermite(double year, double x0, ValueAndSlope p0, double x1, ValueAndSlope p1) {
  const double w = x1 - x0;
  const double s = (year - x0) / w;
  const double s2 = s * s, s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * p0.value + (s3 - 2 * s2 + s) * w * p0.slope + (-2 * s3 + 3 * s2) * p1.value +
         (s3 - s2) * w * p1.slope;
}

constexpr double kSplineFirstYear = kDeltaTSpline2020.front().k0;  // −720
constexpr double kSplineLastYear = kDeltaTSpline2020.back().k1;    // 2019
constexpr double kObservedLastYear = kDeltaTObservedFirstYear + kDeltaTObserved.size() - 1;
constexpr double kFutureBlendEnd = kObservedLastYear + kSmh2020FutureBlendYears;

double splineValue(double year) {
  // Segments are few (58) and contiguous; the last one whose start is at or
  // below the year holds it.
  std::size_t i = 0;
  while (i + 1 < kDeltaTSpline2020.size() && kDeltaTSpline2020[i + 1].k0 <= year) ++i;
  return splineAt(kDeltaTSpline2020[i], year).value;
}

double observedValue(double year) {
  if (year < kDeltaTObservedFirstYear) {  // from the spline's end to the first observation
    const double end = splineAt(kDeltaTSpline2020.back(), kSplineLastYear).value;
    const double f = (year - kSplineLastYear) / (kDeltaTObservedFirstYear - kSplineLastYear);
    return end + (kDeltaTObserved[0] - end) * f;
  }
  const double u = year - kDeltaTObservedFirstYear;
  const auto k = static_cast<std::size_t>(u);
  if (k + 1 >= kDeltaTObserved.size()) return kDeltaTObserved.back();
  return kDeltaTObserved[k] + (kDeltaTObserved[k + 1] - kDeltaTObserved[k]) * (u - static_cast<double>(k));
}

}  // namespace

double smh2020DeltaT(double year) {
  if (!(year >= kSmh2020PastBlendStart)) return longTermParabola(year);  // also NaN
  if (year < kSplineFirstYear) {
    return hermite(year, kSmh2020PastBlendStart,
                   {longTermParabola(kSmh2020PastBlendStart), longTermParabolaSlope(kSmh2020PastBlendStart)},
                   kSplineFirstYear, splineAt(kDeltaTSpline2020.front(), kSplineFirstYear));
  }
  if (year <= kSplineLastYear) return splineValue(year);
  if (year <= kObservedLastYear) return observedValue(year);
  if (year < kFutureBlendEnd) {
    const std::size_t n = kDeltaTObserved.size();
    const ValueAndSlope last{kDeltaTObserved[n - 1], kDeltaTObserved[n - 1] - kDeltaTObserved[n - 2]};
    return hermite(year, kObservedLastYear, last, kFutureBlendEnd,
                   {longTermParabola(kFutureBlendEnd), longTermParabolaSlope(kFutureBlendEnd)});
  }
  return longTermParabola(year);
}

// σ(ΔT) in seconds. Sources:
// - before 1200 (and after 3000): 0.8 u² s, u in centuries from 1820, the
//   error estimate of Morrison and Stephenson (2004, J. Hist. Astron. 35,
//   327) that the published eclipse canons tabulate (636 s at −1000, 265 s
//   at 0, 54 s at 1000);
// - 1300–1600 about 20 s, 1700 5 s, 1800 1 s: the errors of the 2016 spline
//   (Stephenson, Morrison and Hohenkerk, Proc. R. Soc. A 472), where
//   telescopic timings and then occultations take over; between these
//   anchors σ is interpolated in log σ;
// - from 1955 (atomic time) to the last observation: 0.05 s, what the yearly
//   interpolation of the observed values leaves;
// - after the last observation the error of the prediction grows as the
//   square of the time since, reaching 0.8 u² at 3000 (111 s).
double publishedDeltaTSigmaSeconds(double centuriesT) {
  const double year = 2000.0 + 100.0 * centuriesT;
  const auto longTerm = [](double y) {
    const double u = (y - 1820.0) / 100.0;
    return 0.8 * u * u;
  };
  constexpr double kAtomicYear = 1955.0;
  constexpr double kAtomicSigma = 0.05;
  constexpr double kPredictionEnd = 3000.0;
  if (!(year >= 1200.0) || year >= kPredictionEnd) return longTerm(year);
  if (year >= kObservedLastYear) {
    const double f = (year - kObservedLastYear) / (kPredictionEnd - kObservedLastYear);
    return kAtomicSigma + (longTerm(kPredictionEnd) - kAtomicSigma) * f * f;
  }
  if (year >= kAtomicYear) return kAtomicSigma;
  struct Anchor {
    double year, sigma;
  };
  const std::array<Anchor, 6> anchors = {{{1200.0, longTerm(1200.0)},
                                          {1300.0, 20.0},
                                          {1600.0, 20.0},
                                          {1700.0, 5.0},
                                          {1800.0, 1.0},
                                          {kAtomicYear, kAtomicSigma}}};
  std::size_t i = 0;
  while (anchors[i + 1].year <= year) ++i;
  const Anchor a = anchors[i], b = anchors[i + 1];
  const double f = (year - a.year) / (b.year - a.year);
  return std::exp(std::log(a.sigma) + (std::log(b.sigma) - std::log(a.sigma)) * f);
}

std::optional<double> observedDeltaT(double year) {
  if (!(year >= kDeltaTObservedFirstYear && year <= kObservedLastYear)) return std::nullopt;
  return observedValue(year);
}

// Where ΔT was observed, the builtin model is as far off as it is from the
// observations; elsewhere, at least as far as the two models lie apart.
double builtinDeltaTSigmaSeconds(double centuriesT) {
  const double year = 2000.0 + 100.0 * centuriesT;
  const double builtin = deltaTModel(centuriesT);
  const double reference = observedDeltaT(year).value_or(smh2020DeltaT(year));
  return std::max(publishedDeltaTSigmaSeconds(centuriesT), std::fabs(builtin - reference));
}

namespace {

double smh2020DeltaTAt(double centuriesT) { return smh2020DeltaT(2000.0 + 100.0 * centuriesT); }

constexpr std::array<DeltaTModelRow, kDeltaTModelCount> kModels = {{
    {DeltaTModel::kBuiltin, "builtin", &deltaTModel, &builtinDeltaTSigmaSeconds},
    {DeltaTModel::kSmh2020, "smh2020", &smh2020DeltaTAt, &publishedDeltaTSigmaSeconds},
}};

constexpr bool rowsInEnumeratorOrder() {
  for (std::size_t i = 0; i < kModels.size(); ++i)
    if (static_cast<std::size_t>(kModels[i].model) != i) return false;
  return kModels[0].model == kDefaultDeltaTModel;
}
static_assert(rowsInEnumeratorOrder(), "the table is indexed by DeltaTModel, the default first");

}  // namespace

const std::array<DeltaTModelRow, kDeltaTModelCount>& deltaTModelTable() { return kModels; }

const DeltaTModelRow& deltaTModelRow(DeltaTModel model) {
  const auto i = static_cast<std::size_t>(model);
  return kModels[i < kModels.size() ? i : 0];
}

const char* deltaTModelName(DeltaTModel model) { return deltaTModelRow(model).name; }

std::optional<DeltaTModel> deltaTModelFromName(std::string_view name) {
  for (const DeltaTModelRow& row : kModels)
    if (name == row.name) return row.model;
  return std::nullopt;
}

double deltaTSeconds(DeltaTModel model, double centuriesT) { return deltaTModelRow(model).seconds(centuriesT); }

double deltaTSigmaSeconds(DeltaTModel model, double centuriesT) {
  return deltaTModelRow(model).sigmaSeconds(centuriesT);
}

std::string deltaTUncertaintyText(double deltaTSeconds, double sigmaSeconds) {
  const double shift = longitudeShiftDeg(sigmaSeconds);
  const std::string degrees = formatString(shift >= 0.05 ? "%.1f" : "%.2g", shift);
  if (sigmaSeconds >= 1.0) {
    return formatString("ΔT %.0f ± %.0f s (±%s° in longitude)", deltaTSeconds, sigmaSeconds, degrees.c_str());
  }
  return formatString("ΔT %.1f ± %.2f s (±%s° in longitude)", deltaTSeconds, sigmaSeconds, degrees.c_str());
}

namespace {
// The σ the drag divides by: the observed era's 0.05 s, never zero.
double dragSigma(double sigmaSeconds) { return std::max(sigmaSeconds, 0.01); }
}  // namespace

std::string deltaTAdjustmentText(double adjustSeconds, double sigmaSeconds) {
  if (adjustSeconds == 0) return "model";
  const double sigmas = adjustSeconds / dragSigma(sigmaSeconds);
  return formatString(std::fabs(adjustSeconds) >= 1 ? "model %+.2f σ (%+.0f s)" : "model %+.2f σ (%+.2f s)", sigmas,
                      adjustSeconds);
}

double steppedDeltaTAdjust(double adjustSeconds, double sigmaSeconds, int steps, double loSeconds,
                           double hiSeconds) {
  const double step = kDeltaTStepSigmas * dragSigma(sigmaSeconds);
  return std::clamp(adjustSeconds + steps * step, loSeconds, hiSeconds);
}

}  // namespace tarvo
