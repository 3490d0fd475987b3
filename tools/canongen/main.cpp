// tarvo-canongen: computes the lunar eclipse canon from the long-span
// ephemeris files.
//   tarvo-canongen --out DIR [--from YEAR --to YEAR] [--threads N]
//   tarvo-canongen --saros-table DIR   (prints data/saros_start_table.h)
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/canongen/canon_files.h"
#include "tools/canongen/canon_generator.h"
#include "tools/canongen/extension_ephemeris.h"
#include "tools/canongen/saros_numbering.h"
#include "tools/canongen/swiss_ephemeris.h"

namespace {

using namespace tarvo::canongen;

constexpr const char* kUsage =
    "usage: tarvo-canongen --out DIR [--from YEAR --to YEAR] [--threads N]\n"
    "       tarvo-canongen --saros-table DIR\n";

bool parseInt(const char* text, int& value) {
  const char* end = text + std::strlen(text);
  const auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && ptr == end;
}

int printSarosTable(const std::string& dir) {
  std::vector<SarosEntry> entries;
  for (const CanonFileSpan& file : kCanonFiles) {
    const CanonReadBack back = readCanonFile(std::filesystem::path(dir) / file.name);
    if (!back.error.empty()) {
      std::fprintf(stderr, "tarvo-canongen: %s\n", back.error.c_str());
      return 1;
    }
    for (const auto& e : back.entries) entries.push_back({e.year, e.saros});
  }
  const SarosTable table = deriveSarosTable(entries);
  if (table.outOfRange != 0) {
    std::fprintf(stderr, "tarvo-canongen: %d entries with a series outside -699..699\n", table.outOfRange);
    return 1;
  }
  std::fputs(formatSarosHeader(table.rows).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir;
  std::string sarosDir;
  GenerationRange range;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--out" && hasValue) {
      outDir = argv[++i];
    } else if (arg == "--saros-table" && hasValue) {
      sarosDir = argv[++i];
    } else if (arg == "--from" && hasValue && parseInt(argv[i + 1], range.fromYear)) {
      ++i;
    } else if (arg == "--to" && hasValue && parseInt(argv[i + 1], range.toYear)) {
      ++i;
    } else if (arg == "--threads" && hasValue && parseInt(argv[i + 1], range.threads) &&
               range.threads >= 1 && range.threads <= 64) {
      ++i;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (!sarosDir.empty() && outDir.empty()) return printSarosTable(sarosDir);
  if (outDir.empty() || !sarosDir.empty() || range.fromYear > range.toYear ||
      range.fromYear < kCanonFirstYear || range.toYear > kCanonLastYear) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  GenerationSummary summary;
  // Outside the files' span the committed extension models answer.
  std::string loadError;
  const auto models = loadExtensionModels(TARVO_EXTENSION_COEFFICIENTS, loadError);
  if (!models) {
    std::fprintf(stderr, "tarvo-canongen: %s\n", loadError.c_str());
    return 1;
  }
  const EphemerisFactory factory = [&models] { return makeExtendedEphemeris(*models); };
  const std::vector<tarvo::EclipseRecord> entries = computeEclipses(range, factory, summary);
  std::array<long, 7> perFile{};
  const std::string error = writeCanon(outDir, range, entries, perFile);
  std::fputs(describeSummary(summary).c_str(), stderr);
  for (std::size_t i = 0; i < kCanonFiles.size(); ++i)
    std::fprintf(stderr, "%s: %ld entries\n", kCanonFiles[i].name, perFile[i]);
  if (!error.empty()) {
    std::fprintf(stderr, "tarvo-canongen: %s\n", error.c_str());
    return 1;
  }
  return summary.failures.empty() ? 0 : 1;
}
