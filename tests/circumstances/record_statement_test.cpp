// ΔT from recorded statements: the statements read as written, and synthetic
// records made by the program at a known ΔT solved back (every statement
// kind, eclipses of the generated canon across −3000..1600, sites at 0–60°).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text_format.h"
#include "catalogue/canon_reader.h"
#include "circumstances/record_report.h"
#include "circumstances/record_statement.h"
#include "circumstances/visibility.h"
#include "timebase/delta_t.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

// The solution is searched to 1 s; the offsets below are written to 1e-9 h.
constexpr double kRoundTripSeconds = 2.0;

TEST(RecordStatement, ReadsAsWritten) {
  struct Case {
    const char* text;
    const char* meaning;  // empty: refused
  } cases[] = {
      {"U1 = moonrise + 1.5 h", "first umbral contact 1.5 equal hours after the Moon's upper limb rose"},
      {"G = midnight", "greatest eclipse at local apparent midnight"},
      {"U1 = sunset + 11 sh", "first umbral contact 11 seasonal hours after the Sun's upper limb set"},
      {"G = midnight - 0.5 sh", "greatest eclipse 0.5 seasonal hours before local apparent midnight"},
      {"U1 > moonrise", "first umbral contact after the Moon's upper limb rose"},
      {"moonset < U4", "last umbral contact after the Moon's upper limb set"},
      {"u1+1h=MOONRISE", "first umbral contact 1 equal hour before the Moon's upper limb rose"},
      {"P4 < sunrise - 15 us", "last penumbral contact earlier than 15 time-degrees before the Sun's upper limb rose"},
      {"U3 = moonset + 1 min", "totality ended 1 minute after the Moon's upper limb set"},
      {"U1 = U2 + 1 h", ""},
      {"moonrise = sunset", ""},
      {"U5 = moonrise", ""},
      {"U1 = moonrise + 1.5", ""},
      {"U1 = moonrise + 1.5 d", ""},
      {"U1 moonrise", ""},
      {"U1 = moonrise +", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    const auto s = parseStatement(c.text);
    if (*c.meaning == '\0') {
      EXPECT_TRUE(std::holds_alternative<std::string>(s)) << c.text;
    } else {
      ASSERT_TRUE(std::holds_alternative<Statement>(s)) << c.text << ": " << std::get<std::string>(s);
      EXPECT_EQ(statementMeaning(std::get<Statement>(s)), c.meaning) << c.text;
    }
  }
}

// The catalogue's eclipse at or after the month, converged.
std::optional<EclipseCircumstances> canonEclipse(double year, double month, double deltaT) {
  CanonReader reader(TARVO_RUNDATA_DIR);
  EclipseEntry r;
  if (reader.openAt(year, month, DeltaTChoice{}, r) != ReadStatus::Read) return std::nullopt;
  EclipseCircumstances e = eclipseCircumstances(r, deltaT, 0);
  if (!e.converged()) return std::nullopt;
  return e;
}

std::string unitName(OffsetUnit u) {
  switch (u) {
    case OffsetUnit::kHours: return "h";
    case OffsetUnit::kSeasonalHours: return "sh";
    case OffsetUnit::kTimeDegrees: return "us";
    case OffsetUnit::kMinutes: return "min";
  }
  return {};
}

// " + 1.500000000 h", " - 0.250000000 sh".
std::string offsetText(double amount, const std::string& unit) {
  return formatString(" %c %.9f ", amount < 0 ? '-' : '+', std::fabs(amount)) + unit;
}

const char* const kEclipseNames[] = {"P1", "U1", "U2", "G", "U3", "U4", "P4"};
const char* const kNightNames[] = {"sunset", "sunrise", "moonrise", "moonset", "midnight"};

TEST(RecordStatement, SyntheticRecordsSolveBack) {
  if (!std::filesystem::exists(std::filesystem::path(TARVO_RUNDATA_DIR) / "mcm02999m00000.prn"))
    GTEST_SKIP() << "no generated canon in " << TARVO_RUNDATA_DIR;
  struct Case {
    double year, month;
    double latitudeDeg;
    double eastOfSubLunarDeg;  // where the site stands from the Moon's meridian
  } cases[] = {{-3000, 1, 0, 60},   {-2000, 6, 20, -70}, {-1000, 1, 40, 100}, {-500, 3, 60, -40},
               {0, 1, 35, 20},      {500, 8, 10, -110},  {1000, 1, 50, 80},   {1600, 1, 25, -20}};
  int statementKind = 0;
  for (const Case& c : cases) {
    const double model = deltaTSeconds(kDefaultDeltaTModel, (c.year - 2000) / 100.0);
    const std::optional<EclipseCircumstances> e = canonEclipse(c.year, c.month, model);
    ASSERT_TRUE(e) << c.year;
    const DeltaTSearch search{deltaTSeconds(kDefaultDeltaTModel, centuriesFromJ2000(e->greatestJd)),
                              deltaTSigmaSeconds(kDefaultDeltaTModel, centuriesFromJ2000(e->greatestJd))};
    // The record's ΔT: off the model, so that a solver that returns the model fails.
    const double knownDeltaT = search.modelSeconds + 0.37 * search.sigmaSeconds + 611;
    const SiteValues site{e->subLunar.longitudeDeg + c.eastOfSubLunarDeg, c.latitudeDeg, 0};
    const NightSkyTrack track(*e, trackSpanHours(search));
    std::vector<Statement> bounds;
    for (int night = 0; night < 5; ++night, ++statementKind) {
      // Every eclipse instant and every unit in turn over the cases.
      int which = statementKind % 7;
      while (!eclipseInstantHours(*e, static_cast<EclipseInstant>(which))) which = (which + 1) % 7;
      const auto unit = static_cast<OffsetUnit>(statementKind % 4);
      const std::string bare = std::string(kEclipseNames[which]) + " = " + kNightNames[night];
      const Statement plain = std::get<Statement>(parseStatement(bare));
      const std::optional<double> gap = statementGapHours(plain, *e, track, site, knownDeltaT);
      ASSERT_TRUE(gap) << bare << " at " << c.year;
      double perUnitHours = 1;
      if (unit == OffsetUnit::kMinutes) perUnitHours = 1.0 / 60;
      if (unit == OffsetUnit::kTimeDegrees) perUnitHours = 4.0 / 60;
      if (unit == OffsetUnit::kSeasonalHours) {
        const std::optional<Night> n = nightOf(track, site, knownDeltaT, *eclipseInstantHours(*e, plain.eclipse));
        ASSERT_TRUE(n) << bare;
        perUnitHours = n->seasonalHourHours();
      }
      const double amount = *gap / perUnitHours;
      const std::string text = bare + offsetText(amount, unitName(unit));
      const Statement s = std::get<Statement>(parseStatement(text));
      const StatementResult r = solveStatement(s, *e, track, site, search);
      bool found = false;
      for (double dT : r.solutionsSeconds) found = found || std::fabs(dT - knownDeltaT) <= kRoundTripSeconds;
      EXPECT_TRUE(found) << text << " at " << c.year << ": " << r.solutionsSeconds.size() << " solutions, first "
                         << (r.solutionsSeconds.empty() ? 0 : r.solutionsSeconds[0]) << ", known " << knownDeltaT;
      // The same instant six minutes either way bounds the known ΔT.
      const char* const shifted[] = {" < ", " > "};
      for (int k = 0; k < 2; ++k) {
        bounds.push_back(std::get<Statement>(parseStatement(
            std::string(kEclipseNames[which]) + shifted[k] + kNightNames[night] +
            offsetText(60 * (*gap + (k == 0 ? 0.1 : -0.1)), "min"))));
      }
    }
    const RecordResult together = solveRecord(bounds, *e, site, search);
    ASSERT_EQ(together.holds.size(), 1u) << c.year;
    const DeltaTInterval& i = together.holds[0];
    EXPECT_TRUE(i.fromBounded && i.toBounded) << c.year;
    EXPECT_LT(i.fromSeconds, knownDeltaT) << c.year;
    EXPECT_GT(i.toSeconds, knownDeltaT) << c.year;
    EXPECT_LT(i.toSeconds - i.fromSeconds, 0.2 * 3600 * 1.1) << c.year;
  }
}

TEST(RecordStatement, NeverHoldingStatementsSaySo) {
  if (!std::filesystem::exists(std::filesystem::path(TARVO_RUNDATA_DIR) / "mcp00001p03000.prn"))
    GTEST_SKIP() << "no generated canon in " << TARVO_RUNDATA_DIR;
  const double model = deltaTSeconds(kDefaultDeltaTModel, 0.25);
  const std::optional<EclipseCircumstances> e = canonEclipse(2025, 3, model);  // total
  ASSERT_TRUE(e);
  const DeltaTSearch search{model, deltaTSigmaSeconds(kDefaultDeltaTModel, 0.25)};
  const SiteValues site{e->subLunar.longitudeDeg, 30, 0};
  // The nearest lower transit is never more than half a day away.
  const RecordResult r =
      solveRecord({std::get<Statement>(parseStatement("G = midnight + 13 h"))}, *e, site, search);
  EXPECT_TRUE(r.solutionsSeconds.empty());
  EXPECT_NE(recordText({"e", "s", "builtin", search}, {std::get<Statement>(parseStatement("G = midnight + 13 h"))}, r)
                .find("no ΔT within the search makes it hold"),
            std::string::npos);
  EXPECT_EQ(recordKeys({"e", "s", "builtin", search}, r).substr(0, 12), "deltat none\n");
  // Before moonrise and after moonset at once, with the Moon up at greatest eclipse.
  const RecordResult both = solveRecord({std::get<Statement>(parseStatement("G < moonrise")),
                                         std::get<Statement>(parseStatement("G > moonset"))},
                                        *e, site, {model, 0});
  EXPECT_TRUE(both.holds.empty());
}

// Within the eclipse the anchored track's Moon is the elements' Moon: the
// moonrise found there has the elements' Moon at the rise altitude.
TEST(RecordStatement, MoonriseAgreesWithTheElements) {
  if (!std::filesystem::exists(std::filesystem::path(TARVO_RUNDATA_DIR) / "mcp00001p03000.prn"))
    GTEST_SKIP() << "no generated canon in " << TARVO_RUNDATA_DIR;
  const double model = deltaTSeconds(kDefaultDeltaTModel, -0.15);
  const std::optional<EclipseCircumstances> e = canonEclipse(1985, 5, model);
  ASSERT_TRUE(e);
  const NightSkyTrack track(*e, 30);
  // A site 80° west of the Moon's meridian: the Moon rises during the eclipse.
  const SiteValues site{e->subLunar.longitudeDeg - 80, 20, 0};
  const std::optional<double> rise = nightEventNear(track, site, model, NightEvent::kMoonrise, e->greatestHours);
  ASSERT_TRUE(rise);
  ASSERT_GT(*rise, e->contacts.p1);
  ASSERT_LT(*rise, e->contacts.p4);
  const EclipseElements el = elementsAt(e->record, *rise);
  // 0.002° is 0.5 s of the Moon's rising.
  EXPECT_NEAR(siteCircumstances(e->record, site, *rise, model).altitudeDeg,
              moonRiseAltitudeDeg(moonParallaxDeg(el)), testing::kRiseAltitudeDeg);
}

}  // namespace
}  // namespace tarvo
