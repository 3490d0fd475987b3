// Generates the canon: every full moon in date order, split into chunks of
// lunations that worker threads take in turn (each with its own ephemeris
// provider, created afresh per chunk so that results never depend on which
// thread ran what), then the entries sorted into the seven files.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/eclipse_record.h"
#include "tools/canongen/canon_files.h"
#include "tools/canongen/eclipse_finder.h"
#include "tools/canongen/ephemeris.h"
#include "sky/eclipse_planets.h"

namespace tarvo::canongen {

inline constexpr int kCanonFirstYear = -13000;
inline constexpr int kCanonLastYear = 16999;

struct GenerationRange {
  int fromYear = kCanonFirstYear;  // TT years of greatest eclipse, inclusive
  int toYear = kCanonLastYear;
  int threads = 2;
  long lunationsPerChunk = 1000;  // about 80 years: sequential reading, balanced threads
};

struct GenerationSummary {
  long fullMoons = 0;          // lunations examined
  long eclipses = 0;           // entries within the range
  long outsideEphemeris = 0;   // full moons the ephemeris could not answer
  std::vector<std::string> failures;  // faults, with the lunation number
  FitResiduals worst;          // largest residual of each element over the run
  std::array<double, 8> worstAtJd{};  // greatestJd of the entry with each worst residual
  std::array<long, 8> overTolerance{};  // entries whose residual exceeds kResidualTolerance
};

// What the fits are meant to reproduce the computed values within, in the
// order of the residuals: x, y, lp, lu, lt (arcsec), gst, ra, dec (degrees).
inline constexpr std::array<double, 8> kResidualTolerance = {0.5, 0.5, 0.5, 0.5, 0.5, 0.001, 0.01, 0.01};

// The residuals in that order.
std::array<double, 8> residualList(const FitResiduals& r);

// All eclipses with TT year in the range, chronological.
std::vector<EclipseRecord> computeEclipses(const GenerationRange& range, const EphemerisFactory& factory,
                                           GenerationSummary& summary);

// Writes the files whose years meet the range into dir (every entry of the
// range lands in its file). Returns an error text, empty on success.
std::string writeCanon(const std::filesystem::path& dir, const GenerationRange& range,
                       const std::vector<EclipseRecord>& entries, std::array<long, 7>& perFile);

// The planets at greatest eclipse (TT) of every entry the long-span files
// cover, in entry order: chunks of entries go to the threads in turn, each
// with a fresh file reader, so the values depend on the dates alone. An
// entry the files should answer and do not adds a failure text.
std::vector<EclipsePlanets> computeEclipsePlanets(const std::vector<EclipseRecord>& entries, int threads,
                                                  std::vector<std::string>& failures);

// The planet file's header lines after its first: source and version, what
// the places are.
std::vector<std::string> planetFileHeaderLines();

// Writes kPlanetFileName into dir. Returns an error text, empty on success.
std::string writePlanetFile(const std::filesystem::path& dir, const std::vector<EclipsePlanets>& records);

// The summary as text lines for stderr.
std::string describeSummary(const GenerationSummary& summary);

}  // namespace tarvo::canongen
