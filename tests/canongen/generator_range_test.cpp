// The generator over short ranges: every full moon with penumbral magnitude
// > 0 found (against a brute-force scan that shares none of the search),
// the same output whatever the threads and chunks, and the command line
// writing the files of the range.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "catalogue/canon_reader.h"
#include "sky/eclipse_planets.h"
#include "timebase/time_scales.h"
#include "tools/canongen/canon_files.h"
#include "tools/canongen/canon_generator.h"
#include "tools/canongen/lunation.h"
#include "tools/canongen/shadow_geometry.h"
#include "tools/canongen/swiss_ephemeris.h"
#include "tests/tolerances.h"

namespace tarvo::canongen {
namespace {

// Largest penumbral magnitude (almanac rule) within a day and a half of the
// mean full moon n: sampled every 10 minutes, the least sample refined by
// golden-section search. nullopt where the ephemeris does not answer.
std::optional<double> bruteForcePenumbralMagnitude(Ephemeris& e, long n) {
  auto magnitudeAt = [&](double jd) -> std::optional<double> {
    const auto sun = e.sun(jd);
    const auto moon = e.moon(jd);
    if (!sun || !moon) return std::nullopt;
    const AxisOffset o = axisOffset(*sun, *moon);
    return magnitudesAt(shadowRadii(*sun, *moon, RadiusRule::Almanac), std::hypot(o.xArcsec, o.yArcsec))
        .penumbral;
  };
  const double centre = meanFullMoonJd(n);
  const double step = 10.0 / 1440.0;
  double bestJd = 0, best = -1e9;
  for (double jd = centre - 1.5; jd <= centre + 1.5; jd += step) {
    const auto m = magnitudeAt(jd);
    if (!m) return std::nullopt;
    if (*m > best) best = *m, bestJd = jd;
  }
  double a = bestJd - step, b = bestJd + step;
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < 40; ++i) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (*magnitudeAt(c) > *magnitudeAt(d)) b = d; else a = c;
  }
  return std::max(best, *magnitudeAt(0.5 * (a + b)));
}

struct Span {
  int fromYear, toYear;
};

// Near both ends of the ephemeris files, across a 600-year file boundary
// (−6000), in the present and in the far future.
const Span kSpans[] = {{-12999, -12990}, {-6005, -5996}, {1995, 2006}, {9000, 9008}, {16788, 16799}};

TEST(GeneratorRange, NoFullMoonMissedNoneInvented) {
  int compared = 0, misses = 0, ambiguous = 0;
  for (const Span& span : kSpans) {
    SCOPED_TRACE(span.fromYear);
    GenerationRange range{span.fromYear, span.toYear, 2};
    GenerationSummary summary;
    const auto entries = computeEclipses(range, makeSwissEphemeris, summary);
    EXPECT_TRUE(summary.failures.empty());
    std::map<long, EclipseRecord> byLunation;
    for (const auto& e : entries) EXPECT_TRUE(byLunation.emplace(long(e.ninthValue), e).second);

    SwissEphemeris ephemeris;
    const long first = lunationNear(entries.empty() ? 0 : entries.front().greatestJd) - 6;
    const long last = lunationNear(entries.empty() ? 0 : entries.back().greatestJd) + 6;
    for (long n = first; n <= last; ++n) {
      const auto brute = bruteForcePenumbralMagnitude(ephemeris, n);
      if (!brute) continue;
      const auto it = byLunation.find(n);
      const bool listed = it != byLunation.end();
      // A full moon just outside the range is not listed; judge by its date.
      if (!listed && *brute > 0) {
        const double year = jdToCalendar(meanFullMoonJd(n), ZoneMode::StandardZone, 0).year;
        if (year < span.fromYear || year > span.toYear) continue;
      }
      if (std::fabs(*brute) < 1e-5) {
        ++ambiguous;  // a magnitude this close to 0 is decided by rounding
        continue;
      }
      ++compared;
      const bool eclipse = *brute > 0;
      if (eclipse != listed) {
        ++misses;
        ADD_FAILURE() << "lunation " << n << ": brute-force penumbral magnitude " << *brute
                      << (listed ? " but listed" : " but not listed");
      } else if (listed) {
        EXPECT_NEAR(it->second.penumbralMagnitude, *brute, testing::kMagnitudeBesideBruteForce) << "lunation " << n;
      }
    }
    // Chronological, one lunation apart at least.
    for (std::size_t i = 1; i < entries.size(); ++i) {
      EXPECT_LT(entries[i - 1].greatestJd + 25.0, entries[i].greatestJd);
      EXPECT_LT(entries[i - 1].ninthValue, entries[i].ninthValue);
    }
  }
  std::printf("coverage: %d full moons compared, %d misses, %d too close to magnitude 0 to judge\n",
              compared, misses, ambiguous);
  EXPECT_EQ(misses, 0);
}

TEST(GeneratorRange, SameOutputWhateverTheThreadsAndChunks) {
  GenerationRange one{1990, 2012, 1};
  one.lunationsPerChunk = 100000;
  GenerationRange many{1990, 2012, 2};
  many.lunationsPerChunk = 17;
  GenerationSummary a, b;
  const auto x = computeEclipses(one, makeSwissEphemeris, a);
  const auto y = computeEclipses(many, makeSwissEphemeris, b);
  ASSERT_EQ(x.size(), y.size());
  ASSERT_FALSE(x.empty());
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_EQ(formatEntry(x[i]), formatEntry(y[i]));
}

std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(GeneratorRange, CommandLineWritesTheFilesOfTheRange) {
  const auto dir = std::filesystem::temp_directory_path() / ("canongen_cli_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  const std::string command = std::string(TARVO_CANONGEN_EXE) + " --out " + dir.string() +
                              " --from 2020 --to 2030 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // Only the file whose years meet the range is written.
  for (const auto& f : tarvo::kCanonFiles)
    EXPECT_EQ(std::filesystem::exists(dir / f.name), std::string(f.name) == "mcp00001p03000.prn") << f.name;
  const std::string text = readAll(dir / "mcp00001p03000.prn");
  // A range of years: read without the whole file's span, which it does not cover.
  const ParsedCanonFile parsed = parseCanonText(text);
  EXPECT_FALSE(parsed.defect.has_value());
  EXPECT_TRUE(parsed.dateOrdered);
  GenerationSummary summary;
  const auto entries = computeEclipses({2020, 2030, 2}, makeSwissEphemeris, summary);
  ASSERT_EQ(parsed.entries.size(), entries.size());
  bool found = false;
  for (const auto& e : parsed.entries) {
    EXPECT_GE(e.year, 2020);
    EXPECT_LE(e.year, 2030);
    if (e.year == 2025 && e.month == 3) {
      found = true;
      EXPECT_EQ(e.eclipseDay, 14);
      EXPECT_EQ(e.saros, 123);
      EXPECT_EQ(e.eclipseType, 1);
      EXPECT_EQ(e.epochHour, 7);
    }
  }
  EXPECT_TRUE(found);
  // The planet file of the range holds the range's records byte for byte as
  // the build's whole run wrote them (another run, other threads and chunks).
  const std::string planets = readAll(dir / tarvo::kPlanetFileName);
  const std::string whole = readAll(std::filesystem::path(TARVO_RUNDATA_DIR) / tarvo::kPlanetFileName);
  const PlanetFileReading part = parseEclipsePlanets(planets, "range");
  const PlanetFileReading all = parseEclipsePlanets(whole, "build");
  ASSERT_EQ(part.status, PlanetFileStatus::Read) << part.error;
  ASSERT_EQ(all.status, PlanetFileStatus::Read) << all.error;
  EXPECT_EQ(part.file.records.size(), entries.size());
  EXPECT_EQ(planets.substr(0, planets.find("records:")), whole.substr(0, whole.find("records:")));
  auto recordBytes = [](const std::string& file, std::size_t i) {
    return file.substr(file.find("\n\n") + 2 + i * tarvo::kPlanetRecordBytes, tarvo::kPlanetRecordBytes);
  };
  std::size_t k = 0;
  for (std::size_t i = 0; i < part.file.records.size(); ++i) {
    while (k < all.file.records.size() && all.file.records[k].lunation < part.file.records[i].lunation) ++k;
    ASSERT_LT(k, all.file.records.size());
    EXPECT_EQ(recordBytes(planets, i), recordBytes(whole, k)) << "lunation " << part.file.records[i].lunation;
  }
  // Bad arguments are refused without writing anything.
  const std::string bad = std::string(TARVO_CANONGEN_EXE) + " --out " + (dir / "x").string() +
                          " --from 3000 --to 2000 2>/dev/null";
  EXPECT_NE(std::system(bad.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "x"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarvo::canongen
