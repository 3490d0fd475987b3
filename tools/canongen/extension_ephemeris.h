// The ephemeris of the whole canon: the long-span files where they reach,
// and outside them the extension models (one fitted next to each end of the
// files). Which one answers depends only on the date, never on the thread.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "tools/canongen/ephemeris.h"
#include "tools/canongen/extension.h"

namespace tarvo::canongen {

// The two models: `before` answers dates before the files, `after` dates after.
struct ExtensionModels {
  std::shared_ptr<const extension::ExtensionModel> before;
  std::shared_ptr<const extension::ExtensionModel> after;
  double beforeLimitJd = 0;  // the models answer down to this TT Julian Day...
  double afterLimitJd = 0;   // ...and up to this one
};

// The canon's span with a margin of a year: −13001 January 1.0 to 17001 January 1.0 TT.
inline constexpr double kExtensionFirstJd = -3027558.5;
inline constexpr double kExtensionLastJd = 7930916.5;

// Reads the committed coefficient file (two models, "before" then "after").
// Returns the models, or an error text naming the file and the fault.
std::optional<ExtensionModels> loadExtensionModels(const std::filesystem::path& file, std::string& error);

// Writes the two models in the file's format.
std::string formatExtensionModels(const extension::ExtensionModel& before, const extension::ExtensionModel& after);

// A provider answering from the files between kSwissFirstJd and kSwissLastJd
// and from the models outside, within their limits.
std::unique_ptr<Ephemeris> makeExtendedEphemeris(const ExtensionModels& models);

// The same with only the models (the files are never read): for backtests,
// where a model is compared with the files over a span they cover. Dates in
// [firstFileJd, lastFileJd] come from the files, others from the models.
std::unique_ptr<Ephemeris> makeSplitEphemeris(const ExtensionModels& models, double firstFileJd, double lastFileJd);

}  // namespace tarvo::canongen
