// An independent reading of the generated canon for the search tests: the
// numbers read with fscanf("%lf") (not the reader's parser), the UT date of
// greatest eclipse from ERFA's calendar (Gregorian, so only for years after
// 1582), ΔT from the model as the catalogue defines it.
#pragma once

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "catalogue/canon_reader.h"
#include "timebase/time_scales.h"

namespace tarvo::testing {

struct PlainEntry {
  int year = 0, month = 0, day = 0;  // UT date of greatest eclipse
  double type = 0;
  double saros = 0;
};

inline std::filesystem::path rundataDir() { return TARVO_RUNDATA_DIR; }

inline bool generatedCanonPresent() {
  for (const auto& f : kCanonFiles)
    if (!std::filesystem::exists(rundataDir() / f.name)) return false;
  return true;
}

// Every entry of one canon file, in file order.
inline std::vector<PlainEntry> plainScan(const std::filesystem::path& file) {
  std::vector<PlainEntry> out;
  std::FILE* f = std::fopen(file.c_str(), "r");
  if (!f) return out;
  double v[31];
  for (;;) {
    int got = 0;
    while (got < 31 && std::fscanf(f, "%lf", &v[got]) == 1) ++got;
    if (got < 31) break;
    const double jdTt = v[7];
    const double jdUt = jdTt - deltaTModel((jdTt - 2451545.0) / 36525.0) / 86400.0;
    int iy = 0, im = 0, id = 0;
    double fd = 0;
    if (eraJd2cal(std::floor(jdUt), jdUt - std::floor(jdUt), &iy, &im, &id, &fd) != 0) break;
    out.push_back({iy, im, id, v[3], v[9]});
  }
  std::fclose(f);
  return out;
}

// The entries of the files for years 1 … 8000, in catalogue order.
inline const std::vector<PlainEntry>& plainCommonEra() {
  static const std::vector<PlainEntry> entries = [] {
    std::vector<PlainEntry> all = plainScan(rundataDir() / kCanonFiles[3].name);
    const std::vector<PlainEntry> next = plainScan(rundataDir() / kCanonFiles[4].name);
    all.insert(all.end(), next.begin(), next.end());
    return all;
  }();
  return entries;
}

}  // namespace tarvo::testing
