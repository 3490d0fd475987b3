// tarvo-canongen: computes the lunar eclipse canon from the long-span
// ephemeris files.
//   tarvo-canongen --out DIR [--from YEAR --to YEAR] [--threads N]
//   tarvo-canongen --saros-table DIR   (prints data/saros_start_table.h)
//   tarvo-canongen --planets DIR       (writes the planet file of the canon in DIR)
#include <charconv>
#include <chrono>
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
    "       tarvo-canongen --saros-table DIR\n"
    "       tarvo-canongen --planets DIR [--threads N]\n";

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

// The planet file for the canon already in dir (the same bytes a full run writes).
int writePlanetsOfCanon(const std::string& dir, int threads) {
  std::vector<tarvo::EclipseRecord> entries;
  for (const CanonFileSpan& file : kCanonFiles) {
    const CanonReadBack back = readCanonFile(std::filesystem::path(dir) / file.name);
    if (!back.error.empty()) {
      std::fprintf(stderr, "tarvo-canongen: %s\n", back.error.c_str());
      return 1;
    }
    entries.insert(entries.end(), back.entries.begin(), back.entries.end());
  }
  std::vector<std::string> failures;
  const auto records = computeEclipsePlanets(entries, threads, failures);
  for (const std::string& f : failures) std::fprintf(stderr, "failure: %s\n", f.c_str());
  if (const std::string error = writePlanetFile(dir, records); !error.empty()) {
    std::fprintf(stderr, "tarvo-canongen: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr, "%s: %zu entries\n", tarvo::kPlanetFileName, records.size());
  return failures.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir;
  std::string sarosDir;
  std::string planetsDir;
  GenerationRange range;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--out" && hasValue) {
      outDir = argv[++i];
    } else if (arg == "--saros-table" && hasValue) {
      sarosDir = argv[++i];
    } else if (arg == "--planets" && hasValue) {
      planetsDir = argv[++i];
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
  if (!planetsDir.empty() && outDir.empty() && sarosDir.empty()) return writePlanetsOfCanon(planetsDir, range.threads);
  if (outDir.empty() || !sarosDir.empty() || !planetsDir.empty() || range.fromYear > range.toYear ||
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
  std::string error = writeCanon(outDir, range, entries, perFile);
  // The planets at each eclipse the ephemeris files cover, beside the canon.
  const auto planetsStart = std::chrono::steady_clock::now();
  const std::vector<tarvo::EclipsePlanets> planets = computeEclipsePlanets(entries, range.threads, summary.failures);
  if (error.empty()) error = writePlanetFile(outDir, planets);
  const std::chrono::duration<double> planetsTime = std::chrono::steady_clock::now() - planetsStart;
  std::fputs(describeSummary(summary).c_str(), stderr);
  for (std::size_t i = 0; i < kCanonFiles.size(); ++i)
    std::fprintf(stderr, "%s: %ld entries\n", kCanonFiles[i].name, perFile[i]);
  std::fprintf(stderr, "%s: %zu entries (%.1f s)\n", tarvo::kPlanetFileName, planets.size(), planetsTime.count());
  if (!error.empty()) {
    std::fprintf(stderr, "tarvo-canongen: %s\n", error.c_str());
    return 1;
  }
  return summary.failures.empty() ? 0 : 1;
}
