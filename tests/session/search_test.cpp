#include "session/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "session/current_eclipse.h"
#include "session/landing.h"
#include "session/visibility_list.h"
#include "catalogue/saros_table.h"
#include "tests/catalogue/canon_test_support.h"
#include "tests/session/session_test_support.h"
#include "tests/session/plain_canon_scan.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::PlainEntry;

// A repaint with pendingAction 0 at the cursor.
LandingOutcome land(SessionState& s, CanonReader& reader, double year, double month) {
  s.year = year;
  s.month = month;
  s.pendingAction = kLandAtCursor;
  return positionForPaint(s, reader);
}

// The Previous command as the view runs it: search, then the landing repaint.
LandingOutcome previous(SessionState& s, CanonReader& reader) {
  DrawingSurface unused(10, 10);
  previousEclipseCommand(s, reader, unused);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
  return positionForPaint(s, reader);
}

bool sameDate(const EclipseListEntry& e, const PlainEntry& p) {
  return e.year == p.year && e.month == p.month && e.day == p.day && e.type == p.type && e.saros == p.saros;
}

// Whether any pixel of the band [x0, x1) × [y0, y1) is white.
bool anyWhite(const DrawingSurface& s, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (s.pixel(x, y) == colorTable[15]) return true;
  return false;
}

#define REQUIRE_GENERATED_CANON()                                            \
  if (!testing::generatedCanonPresent())                                     \
  GTEST_SKIP() << "no generated canon in " << testing::rundataDir()

// ---------------------------------------------------------------------------
// Previous eclipse on the hand-made canon (entries 2025-03, 2025-09, 2026-03,
// 3000-02, 3000-08 in the file for 1..3000; 3001-01 first in the next).

class PreviousHandCanon : public ::testing::Test {
 protected:
  CanonReader reader_{testing::testCanonDir()};
  SessionState s_;
};

// Window of two years from 2025-09: it opens on 2025-03, which is the
// window's start and not tested, then meets the current eclipse.
TEST_F(PreviousHandCanon, TheWindowStartIsNotTested) {
  ASSERT_EQ(land(s_, reader_, 2025, 9), LandingOutcome::Shown);
  const PreviousSearch p = runPreviousSearch(s_, reader_);
  EXPECT_FALSE(p.found);
  EXPECT_EQ(p.end, SearchEnd::Finished);
  EXPECT_EQ(s_.year, 2025);
  EXPECT_EQ(s_.month, 9);
}

// From the first eclipse of 3001 the walk starts in 2999's file and crosses
// into the next file to reach the current eclipse.
TEST_F(PreviousHandCanon, CrossesIntoTheNextFile) {
  ASSERT_EQ(land(s_, reader_, 3001, 1), LandingOutcome::Shown);
  ASSERT_EQ(s_.month, 1);
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.year, 3000);
  EXPECT_EQ(s_.month, 8);
  EXPECT_EQ(s_.current.eclipseDay, 5);
}

// A cursor that names no eclipse (June 2025; as after the end of the
// catalogue, month 1 of the last year): the walk stops at the first entry
// past it instead of reading on to the catalogue's end.
TEST_F(PreviousHandCanon, CursorWithoutAnEclipseStopsAtTheFirstEntryPastIt) {
  s_.year = 2025;
  s_.month = 6;
  const PreviousSearch p = runPreviousSearch(s_, reader_);
  EXPECT_FALSE(p.found);
  EXPECT_EQ(p.end, SearchEnd::Finished);
  EXPECT_EQ(s_.year, 2025);
  EXPECT_EQ(s_.month, 6);
  EXPECT_EQ(s_.current.month, 9);  // the reader stands on the entry past the cursor
}

TEST(PreviousFiles, NextFileMissingShowsTheTextsAndKeepsTheLastAccepted) {
  testing::ScratchDir dir;
  testing::copyTestCanon(dir.path(), {3});
  CanonReader reader(dir.path());
  SessionState s;
  s.year = 3001;  // a cursor in the missing file
  s.month = 1;
  DrawingSurface surface(500, 60);
  surface.clear(colorTable[0]);
  const PreviousSearch ym = previousEclipseCommand(s, reader, surface);
  EXPECT_EQ(ym.year, 3000);
  EXPECT_EQ(ym.month, 8);
  EXPECT_EQ(s.year, 3000);
  EXPECT_EQ(s.month, 8);
  EXPECT_EQ(s.current.month, 8);  // the last entry read
  EXPECT_TRUE(anyWhite(surface, 50, 15, 500, 30));
  EXPECT_TRUE(anyWhite(surface, 50, 30, 500, 45));
  EXPECT_FALSE(anyWhite(surface, 0, 0, 50, 60));
  EXPECT_FALSE(anyWhite(surface, 0, 0, 500, 15));

  // Without the window's file nothing is earlier, and no text is shown.
  testing::ScratchDir empty;
  CanonReader none(empty.path());
  SessionState t;
  t.year = 2025;
  t.month = 9;
  DrawingSurface clean(500, 60);
  clean.clear(colorTable[0]);
  const PreviousSearch same = previousEclipseCommand(t, none, clean);
  EXPECT_EQ(same.year, 2025);
  EXPECT_EQ(same.month, 9);
  EXPECT_FALSE(anyWhite(clean, 0, 0, 500, 60));
}

// ---------------------------------------------------------------------------
// Previous eclipse on the generated canon, against the plain scan.

// The plain scan's last entry before (year, month, day) that pred accepts.
template <class Pred>
const PlainEntry* lastBefore(int year, int month, int day, Pred pred) {
  const PlainEntry* found = nullptr;
  for (const PlainEntry& p : testing::plainCommonEra()) {
    if (std::tie(p.year, p.month, p.day) >= std::tie(year, month, day)) break;
    if (pred(p)) found = &p;
  }
  return found;
}

class PreviousGenerated : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_GENERATED_CANON(); }
  CanonReader reader_{testing::rundataDir()};
  SessionState s_;
};

TEST_F(PreviousGenerated, FromTheFirstEclipseOfAYearToTheLastOneBefore) {
  ASSERT_EQ(land(s_, reader_, 2025, 1), LandingOutcome::Shown);
  const PlainEntry* want = lastBefore(2025, int(s_.month), int(s_.current.eclipseDay), [](const PlainEntry&) { return true; });
  ASSERT_NE(want, nullptr);
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.year, want->year);
  EXPECT_EQ(s_.month, want->month);
  EXPECT_EQ(s_.current.eclipseDay, want->day);
  EXPECT_EQ(s_.year, 2024);
}

// From the first eclipse shown (−13000 April) nothing is earlier; from the
// one after it, Previous comes back to it.
TEST_F(PreviousGenerated, FromTheFirstEclipseNothingEarlier) {
  ASSERT_EQ(land(s_, reader_, -13000, 1), LandingOutcome::Shown);
  const double firstJd = s_.current.greatestJd;
  DrawingSurface view(10, 10);
  EXPECT_EQ(previousEclipseCommand(s_, reader_, view).end, SearchEnd::NothingEarlier);
  s_.pendingAction = kSearchForward;
  ASSERT_EQ(positionForPaint(s_, reader_), LandingOutcome::Shown);
  ASSERT_GT(s_.current.greatestJd, firstJd);
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.current.greatestJd, firstJd);
}

// Next past the last eclipse (16999 October 14), then Previous: back to it.
TEST_F(PreviousGenerated, AfterTheEndBackToTheLastEclipse) {
  ASSERT_EQ(land(s_, reader_, 16999, 10), LandingOutcome::Shown);
  ASSERT_EQ(s_.current.eclipseDay, 14);
  const double lastJd = s_.current.greatestJd;
  s_.pendingAction = kSearchForward;
  ASSERT_EQ(positionForPaint(s_, reader_), LandingOutcome::EndOfCatalogue);
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.current.greatestJd, lastJd);
  EXPECT_EQ(s_.month, 10);
}

// A total eclipse with no total in the two years before it: Previous by type
// with a look-back of 2 years leaves it shown; 3 years find the last total
// (the first total of the window's year would be its untested start).
TEST_F(PreviousGenerated, TypeSearchWithNothingInItsWindow) {
  ASSERT_EQ(land(s_, reader_, 2025, 3), LandingOutcome::Shown);
  const int day = int(s_.current.eclipseDay);
  const auto total = [](const PlainEntry& p) { return p.type == 1; };
  const PlainEntry* want = lastBefore(2025, 3, day, total);
  ASSERT_NE(want, nullptr);
  ASSERT_LT(want->year, 2023);  // nothing in the two-year window
  ASSERT_EQ(want->year, 2022);

  s_.searchType = kSearchByType;
  s_.typeCriterion = 1;
  s_.typeLookBackYears = 2;
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.year, 2025);
  EXPECT_EQ(s_.month, 3);

  s_.typeLookBackYears = 3;
  ASSERT_EQ(previous(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.year, want->year);
  EXPECT_EQ(s_.month, want->month);
  EXPECT_EQ(s_.current.eclipseType, 1);
}

// A Saros search goes back to the shown eclipse's series, whatever the
// criterion says.
TEST_F(PreviousGenerated, SarosSearchFollowsTheShownSeries) {
  ASSERT_EQ(land(s_, reader_, 2025, 3), LandingOutcome::Shown);
  const double series = s_.current.saros;
  const PlainEntry* want =
      lastBefore(2025, 3, int(s_.current.eclipseDay), [&](const PlainEntry& p) { return p.saros == series; });
  ASSERT_NE(want, nullptr);
  s_.searchType = kSearchBySaros;
  s_.sarosCriterion = series + 22;
  const PreviousSearch p = runPreviousSearch(s_, reader_);
  EXPECT_TRUE(p.found);
  EXPECT_EQ(s_.year, want->year);
  EXPECT_EQ(s_.month, want->month);
}

// Near the catalogue's start the window is clamped to −13000: from the third
// entry Previous finds the second, the last one before it, and shows it
// (the first two eclipses fall in one month).
TEST_F(PreviousGenerated, WindowClampedToTheCatalogueStart) {
  EclipseEntry first, second, third;
  ASSERT_TRUE(succeeded(reader_.openFirst(-13000, DeltaTChoice{}, first)));
  ASSERT_TRUE(succeeded(reader_.readNext(DeltaTChoice{}, second)));
  ASSERT_TRUE(succeeded(reader_.readNext(DeltaTChoice{}, third)));
  ASSERT_LT(third.year - 2, -13000);
  s_.year = third.year;
  s_.month = third.month;
  s_.current.saros = third.saros;
  const PreviousSearch p = runPreviousSearch(s_, reader_);
  EXPECT_TRUE(p.found);
  ASSERT_EQ(positionForPaint(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.current.greatestJdTt, second.greatestJdTt);
}

// ---------------------------------------------------------------------------
// The acceptance test.

class Criteria : public ::testing::Test {
 protected:
  void SetUp() override {
    CanonReader reader(testing::testCanonDir());
    ASSERT_TRUE(succeeded(reader.openAt(2025, 9, DeltaTChoice{}, entry_)));
    deltaT_ = entryDeltaTSeconds(entry_, DeltaTChoice{});
    const GreatestEclipse g = findGreatest(entry_, 0, deltaT_);
    ASSERT_TRUE(g.converged);
    subLunar_ = g.subLunar;
  }
  // The site `distanceDeg` from the sub-lunar point along its meridian,
  // northward (over the pole when needed).
  SiteValues siteAt(double distanceDeg) const {
    double lat = subLunar_.latitudeDeg + distanceDeg, lon = subLunar_.longitudeDeg;
    if (lat > 90) {
      lat = 180 - lat;
      lon += 180;
    }
    return {lon, lat, 0};
  }
  EclipseEntry entry_;
  double deltaT_ = 0;
  GeoPoint subLunar_{0, 0};
};

TEST_F(Criteria, MagnitudeMustExceedTheCriterion) {
  SearchCriteria c;
  c.searchType = kSearchBySite;
  c.site = siteAt(0);
  const SiteAtGreatest at = greatestAtSite(entry_, c.site, 0, deltaT_);
  ASSERT_TRUE(at.converged);
  c.magnitudeCriterion = at.umbralMagnitude;
  EXPECT_FALSE(meetsCriteria(entry_, deltaT_, c).accepted);
  c.magnitudeCriterion = std::nextafter(at.umbralMagnitude, -1.0);
  EXPECT_TRUE(meetsCriteria(entry_, deltaT_, c).accepted);
}

// Geocentric altitude is 90° less the angle from the sub-lunar point, so the
// site 104° away sees the Moon about 14° below the horizon, which counts.
TEST_F(Criteria, AltitudeLimitIsMinusFifteenDegrees) {
  SearchCriteria c;
  c.searchType = kSearchBySite;
  c.magnitudeCriterion = 0;
  const struct {
    double distanceDeg;
    bool accepted;
  } rows[] = {{0, true}, {90, true}, {104, true}, {104.8, true}, {105.2, false}, {106, false}, {150, false}};
  for (const auto& r : rows) {
    c.site = siteAt(r.distanceDeg);
    const CriteriaVerdict v = meetsCriteria(entry_, deltaT_, c);
    ASSERT_TRUE(v.siteEvaluated);
    EXPECT_NEAR(v.site.altitudeDeg, 90 - r.distanceDeg, testing::kSubLunarAltitudeDeg) << r.distanceDeg;
    EXPECT_EQ(v.accepted, r.accepted) << r.distanceDeg;
  }
}

// An entry whose greatest eclipse does not converge (no motion) is never
// listed by a site search, even when every magnitude passes.
TEST(ListSite, UnconvergedEntryIsNeverListed) {
  testing::ScratchDir dir;
  testing::writeCanonWithStillEntry(dir.path());
  CanonReader reader(dir.path());
  SessionState s;
  s.searchType = kSearchBySite;
  s.site = typedChoice(0, 90, 0);
  s.magnitudeCriterion = -1e9;
  ASSERT_EQ(runListSearch(s, reader, 2025, 5).entries.size(), 2u);
  EXPECT_EQ(s.eclipseList[0].month, 3);
  EXPECT_EQ(s.eclipseList[1].year, 2026);
}

// ---------------------------------------------------------------------------
// The list search on the generated canon, against the plain scan.

class ListGenerated : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_GENERATED_CANON(); }
  CanonReader reader_{testing::rundataDir()};
  SessionState s_;
};

std::vector<PlainEntry> plainWithin(int first, int last, bool totalsOnly) {
  std::vector<PlainEntry> out;
  for (const PlainEntry& p : testing::plainCommonEra())
    if (p.year >= first && p.year <= last && (!totalsOnly || p.type == 1)) out.push_back(p);
  return out;
}

void expectListEquals(const SessionState& s, const std::vector<PlainEntry>& want) {
  ASSERT_EQ(s.eclipseListCount, static_cast<int>(want.size()));
  for (std::size_t i = 0; i < want.size(); ++i) {
    const EclipseListEntry& e = s.eclipseList[i];
    EXPECT_TRUE(sameDate(e, want[i])) << i << ": " << e.year << "-" << e.month << "-" << e.day << " type " << e.type
                                      << " saros " << e.saros << " vs " << want[i].year << "-" << want[i].month << "-"
                                      << want[i].day;
  }
}

TEST_F(ListGenerated, TotalsOfTheTwentiethCenturyMatchThePlainScan) {
  s_.searchType = kSearchByType;
  s_.typeCriterion = 1;
  const ListSearchResult l = listSearchCommand(s_, reader_, 1900, 99);
  ASSERT_EQ(l.entries.size(), plainWithin(1900, 1999, true).size());
  EXPECT_TRUE(l.errorTexts.empty());
  expectListEquals(s_, plainWithin(1900, 1999, true));
  EXPECT_GT(s_.eclipseListCount, 60);
}

TEST_F(ListGenerated, TotalsOf2000To2100MatchThePlainScan) {
  s_.searchType = kSearchByType;
  s_.typeCriterion = 1;
  const ListSearch l = runListSearch(s_, reader_, 2000, 100);
  EXPECT_EQ(l.end, SearchEnd::Finished);
  expectListEquals(s_, plainWithin(2000, 2100, true));
  EXPECT_GT(s_.eclipseListCount, 60);
  const std::vector<std::string> lines = eclipseListLines(s_, true);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(s_.eclipseListCount) + 1);
  EXPECT_EQ(lines.front(), "   Date         Type     Saros#/No.");
}

// Years 2999 to 3002 span the files for 1..3000 and 3001..8000.
TEST_F(ListGenerated, ListAcrossAFileBoundary) {
  const ListSearch l = runListSearch(s_, reader_, 2999, 3);
  EXPECT_EQ(l.end, SearchEnd::Finished);
  const std::vector<PlainEntry> want = plainWithin(2999, 3002, false);
  expectListEquals(s_, want);
  ASSERT_GT(want.size(), 4u);
}

// A long period stops at 100 entries. The view is left alone: the cursor,
// the current eclipse and the reader stay on the eclipse shown, so Next
// steps on from it.
TEST_F(ListGenerated, StopsAtExactlyOneHundredAndLeavesTheViewAlone) {
  ASSERT_EQ(land(s_, reader_, 2025, 3), LandingOutcome::Shown);
  const double shownJd = s_.current.greatestJd;
  SessionState stepped = s_;
  CanonReader untouched(testing::rundataDir());
  ASSERT_EQ(land(stepped, untouched, 2025, 3), LandingOutcome::Shown);
  stepped.pendingAction = kSearchForward;
  ASSERT_EQ(positionForPaint(stepped, untouched), LandingOutcome::Shown);

  runListSearch(s_, reader_, 2000, 5000);
  ASSERT_EQ(s_.eclipseListCount, 100);
  std::vector<PlainEntry> want = plainWithin(2000, 7000, false);
  want.resize(100);
  expectListEquals(s_, want);
  EXPECT_EQ(s_.year, 2025);
  EXPECT_EQ(s_.month, 3);
  EXPECT_EQ(s_.current.greatestJd, shownJd);
  s_.pendingAction = kSearchForward;
  ASSERT_EQ(positionForPaint(s_, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s_.current.greatestJd, stepped.current.greatestJd);
}

// A blank type matches nothing: the list reads to the end of the catalogue.
TEST_F(ListGenerated, BlankTypeRunsToTheEndOfTheCatalogue) {
  s_.searchType = kSearchByType;
  s_.typeCriterion = 4;
  const ListSearch l = runListSearch(s_, reader_, 16000, 5000);
  EXPECT_EQ(l.end, SearchEnd::EndOfCatalogue);
  EXPECT_EQ(s_.eclipseListCount, 0);
}

TEST_F(ListGenerated, MissingFiles) {
  // A file missing after the start: the texts, and the list up to it.
  testing::ScratchDir dir;
  fs::create_symlink(testing::rundataDir() / kCanonFiles[3].name, dir.path() / kCanonFiles[3].name);
  CanonReader reader(dir.path());
  const auto noFileTexts = [](const ListSearchResult& l) {
    return l.errorTexts.size() == 2 && std::string(l.errorTexts[0].text) == "  No bessel file! " &&
           std::string(l.errorTexts[1].text) == "  Please start at directory which EC****.prn available.";
  };
  const ListSearchResult walked = listSearchCommand(s_, reader, 2990, 100);
  const std::vector<PlainEntry> want = plainWithin(2990, 3000, false);
  EXPECT_EQ(walked.entries.size(), want.size());
  EXPECT_EQ(walked.end, SearchEnd::NextFileMissing);
  EXPECT_TRUE(noFileTexts(walked));
  expectListEquals(s_, want);

  // The start year's file missing: an empty list and the same texts.
  const ListSearchResult missing = listSearchCommand(s_, reader, 3001, 10);
  EXPECT_EQ(missing.end, SearchEnd::StartFileMissing);
  EXPECT_TRUE(missing.entries.empty());
  EXPECT_TRUE(noFileTexts(missing));
  EXPECT_EQ(s_.eclipseListCount, 0);
  EXPECT_EQ(eclipseListLines(s_, false).size(), 1u);
}

// ---------------------------------------------------------------------------
// Landing on a month: show (the window's landing), next and the list agree on
// the first eclipse dated (UT, under the ΔT choice) in the month or later.

bool inMonthOrLater(const EclipseRecord& e, int year, int month) {
  return e.year > year || (e.year == year && e.month >= month);
}

// Every entry of the catalogue under a ΔT choice, file by file in order.
std::vector<EclipseEntry> everyEntry(CanonReader& reader, const DeltaTChoice& deltaT) {
  std::vector<EclipseEntry> all;
  for (const CanonFile& f : kCanonFiles) {
    EclipseEntry e;
    for (ReadStatus st = reader.openFirst(f.firstYear, deltaT, e); succeeded(st); st = reader.readNext(deltaT, e))
      all.push_back(e);
  }
  return all;
}

TEST(LandingGenerated, ShowNextAndListLandOnTheFirstEclipseOfTheMonthOrLater) {
  REQUIRE_GENERATED_CANON();
  CanonReader reader(testing::rundataDir());
  // The span's ends, −11999 December (ΔT is days), both sides of every file
  // boundary, and a month every 1009 years.
  std::vector<std::pair<int, int>> months = {{-13000, 1}, {-13000, 4}, {-13000, 5}, {-11999, 12},
                                             {16999, 10}, {16999, 11}, {16999, 12}};
  for (std::size_t i = 0; i + 1 < kCanonFiles.size(); ++i) {
    for (int m : {11, 12}) months.emplace_back(kCanonFiles[i].lastYear, m);
    for (int m : {1, 2}) months.emplace_back(kCanonFiles[i + 1].firstYear, m);
  }
  for (int y = -12987; y < 16999; y += 1009) months.emplace_back(y, 1 + (y % 12 + 12) % 12);
  const DeltaTChoice choices[] = {{}, {DeltaTModel::kSmh2020, 0}, {DeltaTModel::kBuiltin, 10000},
                                  {DeltaTModel::kBuiltin, -10000}};
  for (const DeltaTChoice& choice : choices) {
    const std::vector<EclipseEntry> all = everyEntry(reader, choice);
    SearchCriteria every;
    every.deltaT = choice;
    for (const auto& [year, month] : months) {
      const std::string where = std::to_string(year) + "/" + std::to_string(month) + " " +
                                deltaTModelName(choice.model) + " " + std::to_string(choice.adjustSeconds);
      const auto want = std::find_if(all.begin(), all.end(), [&](const EclipseEntry& e) {
        return inMonthOrLater(e, year, month);
      });
      SessionState s = testing::atCursor(year, month);
      s.deltaTChoice = choice;
      const LandingOutcome shown = positionForPaint(s, reader);
      std::optional<double> listedJd;
      std::optional<EclipseEntry> lastRead;
      walkListSearch(reader, every, year, 1, [&](const EclipseEntry& e) {
        if (inMonthOrLater(e, year, month)) listedJd = e.greatestJdTt;
        return !listedJd;
      }, lastRead);
      if (want == all.end()) {
        EXPECT_EQ(shown, LandingOutcome::EndOfCatalogue) << where;
        EXPECT_EQ(nextVisibleEclipse(reader, every, year, month, {}, -90).end, SearchEnd::EndOfCatalogue) << where;
        EXPECT_FALSE(listedJd) << where;
        continue;
      }
      ASSERT_EQ(shown, LandingOutcome::Shown) << where;
      EXPECT_EQ(s.current.greatestJdTt, want->greatestJdTt) << where << ": show lands on " << s.current.year << "/"
                                                            << s.current.month << "/" << s.current.eclipseDay;
      if (want->year <= year + 1) {
        EXPECT_EQ(listedJd, want->greatestJdTt) << where;
      }
      // next, from the sub-lunar point of the eclipse looked for (the Moon
      // in the zenith at greatest eclipse).
      const EclipseCircumstances& c = updateCurrentEclipse(s);
      const SiteValues site{c.subLunar.longitudeDeg, c.subLunar.latitudeDeg, 0};
      const NextVisible n = nextVisibleEclipse(reader, every, year, month, site, -90, -1e300, EclipsePhase::Penumbral);
      ASSERT_TRUE(n.record) << where;
      EXPECT_EQ(n.record->greatestJdTt, want->greatestJdTt) << where;
    }
  }
}

// Of two eclipses in one month (332 in the canon) each is landed on and
// stepped to: Previous from the eclipse after the pair goes to the second,
// then to the first; Next from the first goes to the second.
TEST(PreviousGeneratedPairs, TwoEclipsesInOneMonth) {
  REQUIRE_GENERATED_CANON();
  CanonReader reader(testing::rundataDir());
  const std::vector<EclipseEntry> all = everyEntry(reader, DeltaTChoice{});
  long pairs = 0;
  for (std::size_t i = 0; i + 2 < all.size(); ++i) {
    if (all[i].year != all[i + 1].year || all[i].month != all[i + 1].month) continue;
    ++pairs;
    const std::string where = std::to_string(all[i].year) + "/" + std::to_string(all[i].month);
    SessionState s;
    ASSERT_EQ(land(s, reader, all[i + 2].year, all[i + 2].month), LandingOutcome::Shown) << where;
    ASSERT_EQ(s.current.greatestJdTt, all[i + 2].greatestJdTt) << where;
    for (std::size_t back : {i + 1, i}) {
      ASSERT_EQ(previous(s, reader), LandingOutcome::Shown) << where;
      EXPECT_EQ(s.current.greatestJdTt, all[back].greatestJdTt) << where << " back to entry " << back - i;
    }
    s.pendingAction = kSearchForward;
    ASSERT_EQ(positionForPaint(s, reader), LandingOutcome::Shown) << where;
    EXPECT_EQ(s.current.greatestJdTt, all[i + 1].greatestJdTt) << where;
  }
  EXPECT_GT(pairs, 300);
}

// ---------------------------------------------------------------------------
// The Search dialog's Saros restart.

TEST(SarosRestart, MovesTheCursorBeforeTheSeriesStart) {
  const struct {
    double criterion, year, expectedYear;
  } rows[] = {
      {145, 3100, 1831},     // series 145 begins in 1832; 1832 + 1262.1 < 3100
      {145, 3094, 3094},     // 1832 + 1262.1 = 3094.1 is not below 3094
      {145, 3095, 1831},
      {145, -5000, -7446},   // negative cursor, criterion above 100: series −145 (−7445)
      {100, -100, -100},     // criterion 100 is not above 100: series 100 (403)
      {-5, 0, -2853},        // series −5 begins in −2852
      {-5, -1590, -1590},    // −2852 + 1262.1 = −1589.9
      {0, 0, -2654},         // series 0 begins in −2653; −1390.9 < 0
      {0, -1391, -1391},     // −1390.9 is not below −1391
      {0, 16000, -2654},
      {693, 16999, 16999},   // no such series: nothing happens
      {-358, 16999, 16999},
      {145.7, 3100, 1831},   // the row is trunc(criterion)
  };
  for (const auto& r : rows) {
    SessionState s;
    s.sarosCriterion = r.criterion;
    s.year = r.year;
    applySarosRestart(s);
    EXPECT_EQ(s.year, r.expectedYear) << r.criterion << " at " << r.year;
  }
}

}  // namespace
}  // namespace tarvo
