// The generated canon in the run-time data directory, entry by entry: the
// program's geometry on the written elements gives back the written greatest
// eclipse and magnitudes, the contacts come in order, the files read back
// whole and in order, no eclipse season is empty, and the Saros start table
// derived from it is the committed one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "circumstances/geometry.h"
#include "base/angles.h"
#include "data/saros_start_table.h"
#include "tests/error_stats.h"
#include "tools/canongen/canon_files.h"
#include "tools/canongen/canon_generator.h"
#include "tools/canongen/eclipse_finder.h"
#include "tools/canongen/lunation.h"
#include "tools/canongen/saros_numbering.h"
#include "tools/canongen/shadow_geometry.h"
#include "tools/canongen/swiss_ephemeris.h"

namespace tarvo::canongen {
namespace {

using testing::ErrorStats;
using testing::expectNoMisses;

const std::filesystem::path kRundata = TARVO_RUNDATA_DIR;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();  // an absent contact breaks the order

struct Canon {
  std::vector<EclipseRecord> entries;  // all files, in file order, as stored (TT)
  std::vector<std::size_t> fileOf;     // index into tarvo::kCanonFiles
  std::vector<std::string> problems;
};

std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const Canon* loadCanon() {
  static const Canon canon = [] {
    Canon c;
    for (std::size_t i = 0; i < tarvo::kCanonFiles.size(); ++i) {
      const auto path = kRundata / tarvo::kCanonFiles[i].name;
      if (!std::filesystem::exists(path)) {
        c.problems.push_back(std::string("missing ") + tarvo::kCanonFiles[i].name);
        continue;
      }
      const std::string text = readAll(path);
      const ParsedCanonFile parsed = parseCanonText(text, tarvo::kCanonFiles[i].name);
      if (parsed.defect) c.problems.push_back(std::string("defect in ") + tarvo::kCanonFiles[i].name);
      if (!parsed.dateOrdered) c.problems.push_back(std::string("unordered ") + tarvo::kCanonFiles[i].name);
      // The plain count of numbers must agree with the reader's entries.
      std::istringstream words(text);
      std::size_t numbers = 0;
      for (std::string w; words >> w;) ++numbers;
      if (numbers != parsed.entries.size() * EclipseRecord::kValueCount)
        c.problems.push_back(std::string("entries cut short in ") + tarvo::kCanonFiles[i].name);
      for (const auto& e : parsed.entries) {
        c.entries.push_back(e);
        c.fileOf.push_back(i);
      }
    }
    return c;
  }();
  return &canon;
}

#define REQUIRE_CANON(canon)                                                         \
  const Canon* canon = loadCanon();                                                  \
  if (!std::filesystem::exists(kRundata / tarvo::kCanonFiles[3].name))               \
    GTEST_SKIP() << "no canon in " << kRundata << " (the optimised build makes it)"; \
  ASSERT_TRUE(canon->problems.empty()) << canon->problems.front();

double epochJd(const EclipseRecord& e) {
  return std::floor(e.greatestJd + 0.5) - 0.5 + e.epochHour / 24.0;
}

TEST(CanonCatalogue, ReadsBackWholeAndInOrder) {
  REQUIRE_CANON(canon);
  // About 72,000 eclipses from −12999 August to 16800 January.
  EXPECT_GT(canon->entries.size(), 71000u);
  for (std::size_t i = 0; i < canon->entries.size(); ++i) {
    const EclipseRecord& e = canon->entries[i];
    const auto& file = tarvo::kCanonFiles[canon->fileOf[i]];
    ASSERT_GE(e.year, file.firstYear) << i;
    ASSERT_LE(e.year, file.lastYear) << i;
    if (i > 0) {
      const EclipseRecord& p = canon->entries[i - 1];
      ASSERT_LT(p.greatestJd + 25.0, e.greatestJd) << "entry " << i;  // no duplicate full moon
      ASSERT_LT(p.ninthValue, e.ninthValue) << "entry " << i;
    }
  }
}

TEST(CanonCatalogue, ElementsReproduceGreatestEclipseMagnitudesAndContactOrder) {
  REQUIRE_CANON(canon);
  // Greatest eclipse within a second of the stored instant; magnitudes within
  // 0.0005 of the stored ones.
  ErrorStats time{1.0}, umbral{0.0005}, penumbral{0.0005};
  long unordered = 0, unconverged = 0, wrongType = 0;
  for (const EclipseRecord& e : canon->entries) {
    const GreatestEclipse g = findGreatest(e, 0.0, 0.0);
    unconverged += !g.converged;
    time.add((epochJd(e) + g.tHours / 24.0 - e.greatestJd) * 86400.0);
    const EclipseElements el = elementsAt(e, g.tHours);
    const double m = std::hypot(el.x, el.y);
    umbral.add((el.lu - m) / (el.lu - el.lt) - e.umbralMagnitude);
    penumbral.add((el.lp - m) / (el.lu - el.lt) - e.penumbralMagnitude);
    const int type = e.umbralMagnitude >= 1 ? 1 : e.umbralMagnitude > 0 ? 2 : 3;
    wrongType += type != e.eclipseType || !(e.penumbralMagnitude > 0);
    const ContactTimes c = findContacts(e, g.tHours);
    std::vector<double> order = {c.p1};
    if (type != 3) order.push_back(c.u1.value_or(kNaN));
    if (type == 1) order.push_back(c.u2.value_or(kNaN));
    order.push_back(g.tHours);
    if (type == 1) order.push_back(c.u3.value_or(kNaN));
    if (type != 3) order.push_back(c.u4.value_or(kNaN));
    order.push_back(c.p4);
    bool ordered = true;
    // Strictly increasing, except that internal contacts of a Moon that only
    // touches the internal circle coincide with greatest eclipse.
    for (std::size_t k = 1; k < order.size(); ++k) {
      ordered = ordered && (order[k - 1] < order[k] || (order[k - 1] == order[k] && order[k] == g.tHours));
    }
    unordered += !ordered;
  }
  std::printf("self-consistency over %zu entries:\n", canon->entries.size());
  expectNoMisses(time, "greatest eclipse", "s");
  expectNoMisses(umbral, "umbral magnitude");
  expectNoMisses(penumbral, "penumbral magnitude");
  std::printf("  contacts out of order %ld, greatest eclipse unconverged %ld, wrong type %ld\n", unordered,
              unconverged, wrongType);
  EXPECT_EQ(unordered, 0);
  EXPECT_EQ(unconverged, 0);
  EXPECT_EQ(wrongType, 0);
}

// Every eclipse season (every 5.87 lunations on average) holds at least one
// penumbral eclipse, so consecutive entries are never more than 6 full moons
// apart; a gap would be an eclipse the search skipped.
TEST(CanonCatalogue, NoEclipseSeasonIsEmpty) {
  REQUIRE_CANON(canon);
  long worstGap = 0, gaps = 0;
  for (std::size_t i = 1; i < canon->entries.size(); ++i) {
    const long gap = long(canon->entries[i].ninthValue - canon->entries[i - 1].ninthValue);
    worstGap = std::max(worstGap, gap);
    gaps += gap > 6;
  }
  std::printf("largest gap between eclipses: %ld lunations; gaps over 6: %ld\n", worstGap, gaps);
  EXPECT_EQ(gaps, 0);
}

// A sample of entries against the ephemeris itself, on an even grid across
// the whole fit window (P1 − 30 min to P4 + 30 min): the elements reproduce
// the directly computed values. Also, the entry computed afresh is the same.
TEST(CanonCatalogue, SampledElementsMatchTheEphemeris) {
  REQUIRE_CANON(canon);
  SwissEphemeris ephemeris;
  const std::size_t stride = 97;
  const int gridPoints = 61;
  std::array<ErrorStats, 8> errors;
  for (int q = 0; q < 8; ++q) errors[q].tolerance = kResidualTolerance[q];
  long sampled = 0;
  for (std::size_t i = 0; i < canon->entries.size(); i += stride) {
    const EclipseRecord& e = canon->entries[i];
    // Entries beyond the ephemeris files come from another model.
    if (!ephemeris.covers(e.greatestJd - 2.0) || !ephemeris.covers(e.greatestJd + 2.0)) continue;
    const LunationResult again = examineLunation(ephemeris, long(e.ninthValue), RadiusRule::Almanac);
    ASSERT_EQ(again.outcome, LunationOutcome::Eclipse) << i;
    EXPECT_EQ(formatEntry(again.entry), formatEntry(e)) << i;

    const double tg = findGreatest(e, 0.0, 0.0).tHours;
    const ContactTimes c = findContacts(e, tg);
    const double start = c.p1 - 0.5, end = c.p4 + 0.5;
    for (int k = 0; k < gridPoints; ++k) {
      const double t = start + (end - start) * k / (gridPoints - 1);
      const double jd = epochJd(e) + t / 24.0;
      const auto sun = ephemeris.sun(jd);
      const auto moon = ephemeris.moon(jd);
      const auto sidereal = ephemeris.siderealDeg(jd);
      ASSERT_TRUE(sun && moon && sidereal);
      const AxisOffset o = axisOffset(*sun, *moon);
      const ShadowRadii r = shadowRadii(*sun, *moon, RadiusRule::Almanac);
      const EclipseElements el = elementsAt(e, t);
      const double miss[8] = {el.x - o.xArcsec,
                              el.y - o.yArcsec,
                              el.lp - (r.penumbraArcsec + r.moonSemiDiameterArcsec),
                              el.lu - (r.umbraArcsec + r.moonSemiDiameterArcsec),
                              el.lt - (r.umbraArcsec - r.moonSemiDiameterArcsec),
                              angleDiffDeg(el.gst, *sidereal),
                              angleDiffDeg(el.ra, moon->raDeg),
                              el.dec - moon->decDeg};
      for (int q = 0; q < 8; ++q) errors[q].add(miss[q], "entry " + std::to_string(i));
    }
    ++sampled;
  }
  std::printf("elements against the ephemeris, %ld entries x %d times\n", sampled, gridPoints);
  const char* const names[8] = {"x", "y", "lp", "lu", "lt", "gst", "ra", "dec"};
  for (int q = 0; q < 8; ++q) expectNoMisses(errors[q], names[q], q < 5 ? "arcsec" : "deg");
}

TEST(CanonCatalogue, SarosStartTableIsTheCommittedOneWithItsTellingRows) {
  REQUIRE_CANON(canon);
  std::vector<SarosEntry> list;
  for (const auto& e : canon->entries) list.push_back({e.year, e.saros});
  const SarosTable derived = deriveSarosTable(list);
  EXPECT_EQ(derived.outOfRange, 0);
  long differing = 0;
  for (int s = 0; s < kSarosTableRows; ++s)
    for (int c = 0; c < 2; ++c)
      differing += derived.rows[s][c] != tarvo::data::kSarosStartTable[s][c];
  EXPECT_EQ(differing, 0) << "regenerate data/saros_start_table.h with tarvo-canongen --saros-table";

  // The telling rows (row 692 begins after 16800, in the span of the extension).
  struct Telling {
    int s;
    double first, firstNegative;
  };
  const Telling telling[] = {{0, -2653, -2653},  {1, -2570, -2664},  {2, -2523, -2711},
                             {5, -2491, -2852},  {100, 403, -5908},  {145, 1832, -7445},
                             {200, 3496, -9199}, {300, 6355, -12509}, {357, 8023, -12986},
                             {358, 8015, 99999}, {400, 9321, 99999}, {692, 16980, 99999}};
  for (const Telling& t : telling) {
    EXPECT_EQ(derived.rows[t.s][0], t.first) << "series " << t.s;
    EXPECT_EQ(derived.rows[t.s][1], t.firstNegative) << "series -" << t.s;
  }
  for (int s = 693; s < kSarosTableRows; ++s) EXPECT_EQ(derived.rows[s][0], kNoSeries) << s;
  for (int s = 358; s < kSarosTableRows; ++s) EXPECT_EQ(derived.rows[s][1], kNoSeries) << -s;
  // Column ranges: series 0..692 begin in −2682..16994, series 0..−357 in −13000..−2653.
  for (int s = 0; s < kSarosTableRows; ++s) {
    if (derived.rows[s][0] != kNoSeries) {
      EXPECT_LE(s, 692);
      EXPECT_GE(derived.rows[s][0], -2682);
      EXPECT_LE(derived.rows[s][0], 16994);
    }
    if (derived.rows[s][1] != kNoSeries) {
      EXPECT_GE(derived.rows[s][1], -13000);
      EXPECT_LE(derived.rows[s][1], -2653);
    }
  }
  for (int s = 0; s <= 357; ++s) EXPECT_NE(derived.rows[s][1], kNoSeries) << -s;
  for (int s = 0; s <= 692; ++s) EXPECT_NE(derived.rows[s][0], kNoSeries) << s;
}

}  // namespace
}  // namespace tarvo::canongen
