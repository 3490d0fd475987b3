// The ΔT models the user chooses between, and the uncertainty of ΔT.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Which ΔT = TT − UT the program uses: an index into deltaTModelTable().
enum class DeltaTModel : int {
  kBuiltin = 0,  // deltaTModel() of time_scales.h, the program's own tables
  kSmh2020 = 1,  // the 2020 spline of Stephenson, Morrison and Hohenkerk
};
inline constexpr DeltaTModel kDefaultDeltaTModel = DeltaTModel::kBuiltin;

// One ΔT model: the name the command line, the session files and the Display
// dialog use, ΔT and its one-σ uncertainty, both in seconds at T Julian
// centuries from J2000.0 (defined for every finite T). A new model is one
// enumerator and one row.
struct DeltaTModelRow {
  DeltaTModel model;
  const char* name;
  double (*seconds)(double centuriesT);
  double (*sigmaSeconds)(double centuriesT);
};
inline constexpr std::size_t kDeltaTModelCount = 2;
// The rows in enumerator order, the default first.
const std::array<DeltaTModelRow, kDeltaTModelCount>& deltaTModelTable();
const DeltaTModelRow& deltaTModelRow(DeltaTModel model);

// "builtin" or "smh2020", as the command line and the session files write it.
const char* deltaTModelName(DeltaTModel model);
std::optional<DeltaTModel> deltaTModelFromName(std::string_view name);

// ΔT in seconds at T Julian centuries from J2000.0 (year = 2000 + 100 T) for
// the chosen model. Defined for every finite T.
double deltaTSeconds(DeltaTModel model, double centuriesT);

// One standard deviation of the chosen model's ΔT, seconds, at T Julian
// centuries from J2000.0.
double deltaTSigmaSeconds(DeltaTModel model, double centuriesT);

// The ΔT a session uses: a model and the user's adjustment added to it.
struct DeltaTChoice {
  DeltaTModel model = kDefaultDeltaTModel;
  double adjustSeconds = 0;  // s, added to the model

  // ΔT, seconds, at T Julian centuries from J2000.0: the model plus the adjustment.
  double secondsAt(double centuriesT) const { return deltaTSeconds(model, centuriesT) + adjustSeconds; }
  // The model's σ there, seconds (the adjustment does not change it).
  double sigmaSecondsAt(double centuriesT) const { return deltaTSigmaSeconds(model, centuriesT); }
  bool operator==(const DeltaTChoice&) const = default;
};

// The smh2020 model at a decimal year: the published cubic spline over
// −720..2019, straight lines from its end through the observed values on
// 1 January 2020..2026, then a cubic that leaves the last observation with
// its slope and meets the long-term parabola −320 + 32.5 u² s (u centuries
// from 1825) in value and slope 400 years later; before −720 a cubic from
// the parabola at −1220 to the spline's start, likewise; the parabola beyond.
double smh2020DeltaT(double year);

// The years where the smh2020 model changes piece, oldest first.
inline constexpr double kSmh2020PastBlendStart = -1220.0;
inline constexpr double kSmh2020FutureBlendYears = 400.0;

// The published uncertainty of ΔT, seconds, at T Julian centuries from
// J2000.0 (see the .cpp for the sources): the smh2020 model's σ.
double publishedDeltaTSigmaSeconds(double centuriesT);

// The builtin model's σ, seconds: the published one, widened to cover the
// model's own distance from the observed ΔT where observations exist, and
// from the smh2020 model where they do not.
double builtinDeltaTSigmaSeconds(double centuriesT);

// Observed ΔT, seconds, at a decimal year within the observed table (1 January
// of each year, linear between); nullopt outside it.
std::optional<double> observedDeltaT(double year);

// The longitude, degrees, by which a time error of `seconds` moves anything
// fixed to the Earth's rotation (360° per 86400 s).
inline constexpr double longitudeShiftDeg(double seconds) { return seconds / 240.0; }

// The status bar's line for ΔT and its uncertainty, UTF-8: "ΔT 10441 ± 265 s
// (±1.1° in longitude)"; whole seconds when σ is 1 s or more, else ΔT to
// 0.1 s and σ to 0.01 s.
std::string deltaTUncertaintyText(double deltaTSeconds, double sigmaSeconds);

// The ΔT drag moves the adjustment in steps of this many σ.
inline constexpr double kDeltaTStepSigmas = 0.1;

// The adjustment's line, UTF-8: "model +0.30 σ (+80 s)"; "model" alone for
// none. σ is taken as at least 0.01 s.
std::string deltaTAdjustmentText(double adjustSeconds, double sigmaSeconds);

// The adjustment after `steps` drag steps of kDeltaTStepSigmas σ from
// adjustSeconds, clamped to loSeconds..hiSeconds.
double steppedDeltaTAdjust(double adjustSeconds, double sigmaSeconds, int steps, double loSeconds,
                           double hiSeconds);

}  // namespace tarvo
