// The fit windows of the extension models and the spans they predict, TT
// Julian Days (Gregorian calendar from 1582, Julian before).
#pragma once

#include "tools/canongen/extension_ephemeris.h"
#include "tools/canongen/swiss_ephemeris.h"

namespace tarvo::canongen {

struct BacktestSpan {
  const char* name;
  double fitFromJd, fitToJd;          // the window the model is fitted on
  double predictFromJd, predictToJd;  // the span it answers
  int fromYear, toYear;               // canon years compared (backtests)
};

// Backtests, with the same lengths as the real gaps: fitted on 16000–16600,
// predicting 16600–16800; fitted on −12599…−12199, predicting back over
// −12799…−12599.
inline constexpr BacktestSpan kBacktestEnd{"end", 7564939.5, 7784085.5, 7784085.5, 7857133.5, 16600, 16799};
inline constexpr BacktestSpan kBacktestStart{"start", -2880726.5, -2734626.5, -2953776.5, -2880726.5, -12799, -12600};

// Production: fitted on 16400 to the files' end, predicting to 17001; fitted
// on the files' start to −12599, predicting back to −13001.
inline constexpr BacktestSpan kProductionAfter{"after", 7711036.5, kSwissLastJd - 1, kSwissLastJd, kExtensionLastJd,
                                               16800, 16999};
inline constexpr BacktestSpan kProductionBefore{"before", kSwissFirstJd + 1, -2880726.5, kExtensionFirstJd,
                                                kSwissFirstJd, -13000, -12999};

}  // namespace tarvo::canongen
