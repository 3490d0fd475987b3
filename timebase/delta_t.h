// The ΔT models the user chooses between, and the uncertainty of ΔT.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Which ΔT = TT − UT the program uses.
enum class DeltaTModel : int {
  kBuiltin = 0,  // deltaTModel() of time_scales.h, the program's own tables
  kSmh2020 = 1,  // the 2020 spline of Stephenson, Morrison and Hohenkerk
};
inline constexpr DeltaTModel kDefaultDeltaTModel = DeltaTModel::kBuiltin;

// "builtin" or "smh2020", as the command line and the session files write it.
const char* deltaTModelName(DeltaTModel model);
std::optional<DeltaTModel> deltaTModelFromName(std::string_view name);

// ΔT in seconds at T Julian centuries from J2000.0 (year = 2000 + 100 T) for
// the chosen model. Defined for every finite T.
double deltaTSeconds(DeltaTModel model, double centuriesT);

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

// One standard deviation of ΔT, seconds, at T Julian centuries from J2000.0;
// the same for both models (see the .cpp for the sources).
double deltaTSigmaSeconds(double centuriesT);

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
