#include "session/landing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "circumstances/geometry.h"
#include "session/paint.h"
#include "session/search.h"
#include "session/site_glue.h"
#include "tests/catalogue/canon_test_support.h"
#include "tests/session/session_test_support.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

using testing::fixedClock;

using testing::atCursor;

// Next eclipse: the command sets pendingAction 7 and the paint positions.
LandingOutcome next(SessionState& s, CanonReader& reader) {
  s.pendingAction = kSearchForward;
  return positionForPaint(s, reader);
}

class Landing : public ::testing::Test {
 protected:
  CanonReader reader_{testing::testCanonDir()};
};

// The record lands in `current` (UT date), the cursor on its month, with ΔT
// for it.
TEST_F(Landing, TakesTheEntryAndComputesDeltaT) {
  SessionState s = atCursor(2025, 1);
  s.deltaTChoice.adjustSeconds = 12.5;
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
  const EclipseRecord& c = s.current;
  EXPECT_EQ(s.year, 2025);
  EXPECT_EQ(s.month, 3);
  EXPECT_EQ(c.year, s.year);
  EXPECT_EQ(c.month, s.month);
  EXPECT_EQ(c.eclipseDay, 14);
  EXPECT_EQ(c.eclipseType, 1);
  EXPECT_EQ(c.penumbralMagnitude, 2.2595);
  EXPECT_EQ(c.umbralMagnitude, 1.1784);
  EXPECT_EQ(c.gamma, 0.3485);
  EXPECT_EQ(c.saros, 123);
  EXPECT_EQ(c.epochHour, 6);
  // At the catalogue's TT instant, where the reader converts to UT.
  EXPECT_EQ(s.deltaT, deltaTModel((s.current.greatestJdTt - 2451545.0) / 36525.0) + 12.5);
  // 2025.2: the 10-year table between 70.52 (2020) and 79.45 (2030), about 75.2 s.
  EXPECT_NEAR(s.deltaT - 12.5, 75.2, testing::kQuotedTenth);
}

// Two sessions with different ΔT choices taking turns on one reader: each
// lands on its own UT and ΔT, whatever the other read last.
TEST_F(Landing, TwoSessionsKeepTheirOwnDeltaT) {
  SessionState a, b;
  b.deltaTChoice = {DeltaTModel::kSmh2020, 3000};
  for (const double month : {1.0, 9.0}) {
    for (SessionState* s : {&a, &b}) {
      s->year = 2025;
      s->month = month;
      s->pendingAction = kLandAtCursor;
      ASSERT_EQ(positionForPaint(*s, reader_), LandingOutcome::Shown);
      const EclipseEntry own = reconvertedEntry(s->current, s->deltaTChoice);
      EXPECT_EQ(s->current.greatestJd, own.greatestJd);
      EXPECT_EQ(s->deltaT, s->deltaTChoice.secondsAt(centuriesFromJ2000(own.greatestJdTt)));
      // The UT the reader gives is the TT less that very ΔT.
      EXPECT_NEAR((own.greatestJdTt - own.greatestJd) * 86400.0, s->deltaT, testing::kJulianDayDifferenceS);
    }
    EXPECT_EQ(a.current.greatestJdTt, b.current.greatestJdTt);  // the same eclipse
    // smh2020 + 3000 s puts b's UT about 3000 s before a's.
    EXPECT_NEAR((a.current.greatestJd - b.current.greatestJd) * 86400.0, 3000 - 6, testing::kModelsApartIn2025S);
  }
}

// The first paint takes the cursor from the clock.
TEST_F(Landing, FirstPaintTakesTheClockMonth) {
  SessionState s;  // pendingAction 1
  ASSERT_EQ(positionForPaint(s, reader_, fixedClock(2025, 5)), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 2025);
  EXPECT_EQ(s.month, 9);
  EXPECT_EQ(s.searchStartYear, 2025);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
}

// No entry at or after 3000-12 in its file: the first eclipse of the next
// file is shown, and Next goes on from it.
TEST_F(Landing, Show3000DecemberGoesOnToTheNextFile) {
  SessionState s = atCursor(3000, 12);
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3001);
  EXPECT_EQ(s.month, 1);
  EXPECT_EQ(reader_.openFileIndex().value_or(99), 4u);
  ASSERT_EQ(next(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.month, 7);
}

// −10000: the entry stored on January 4 is in −10001 UT and the one stored on
// 3 March in February UT. The landing goes by the UT date: January and
// February land in February, March in August.
TEST_F(Landing, RemotePastLandsInTheMonthAskedOrLater) {
  const struct {
    double month, expectMonth;
  } cases[] = {{1, 2}, {2, 2}, {3, 8}};
  for (const auto& c : cases) {
    SessionState s = atCursor(-10000, c.month);
    ASSERT_EQ(landAtCursor(s, reader_), LandingOutcome::Shown);
    EXPECT_EQ(s.year, -10000);
    EXPECT_EQ(s.month, c.expectMonth);
    EXPECT_EQ(s.pendingAction, kLandAtCursor);
  }
}

// The whole catalogue stepped through with Next: every entry once, in order,
// across every file boundary, then the end.
TEST_F(Landing, NextWalksEveryEntryAcrossFilesToTheEnd) {
  std::size_t total = 0;
  for (const auto& f : kCanonFiles) total += testing::readStoredEntries(testing::testCanonDir() / f.name).size();
  SessionState s = atCursor(-13000, 1);
  // The first entry (stored −13000-01-03) is in −13001 UT: the landing passes over it.
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  std::size_t shown = 1;
  double lastJd = s.current.greatestJd;
  LandingOutcome o;
  while ((o = next(s, reader_)) == LandingOutcome::Shown) {
    ASSERT_GT(s.current.greatestJd, lastJd);
    lastJd = s.current.greatestJd;
    ASSERT_LE(++shown, total);
  }
  EXPECT_EQ(shown, total - 1);
  EXPECT_EQ(o, LandingOutcome::EndOfCatalogue);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
  EXPECT_EQ(s.year, 16999);  // December of the last year: after every eclipse
  EXPECT_EQ(s.month, 12);
}

// Both ends: no eclipse at or after 16999 December is the end (the cursor
// stays); Previous from the first eclipse shown says there is nothing
// earlier and keeps it.
TEST_F(Landing, TheEndsOfTheCatalogue) {
  SessionState s = atCursor(16999, 12);
  EXPECT_EQ(positionForPaint(s, reader_), LandingOutcome::EndOfCatalogue);
  EXPECT_EQ(s.year, 16999);
  EXPECT_EQ(s.month, 12);

  // −13000 January: the first entry (−13001 UT) is passed over to June.
  SessionState first = atCursor(-13000, 1);
  ASSERT_EQ(positionForPaint(first, reader_), LandingOutcome::Shown);
  const double firstJd = first.current.greatestJd;
  DrawingSurface view(400, 40);
  view.clear(colorTable[0]);
  const PreviousSearch none = previousEclipseCommand(first, reader_, view);
  EXPECT_FALSE(none.found);
  ASSERT_EQ(none.end, SearchEnd::NothingEarlier);
  drawLandingFailure(view, LandingOutcome::NoEarlierEclipse);  // as the view shows it
  int white = 0;
  for (int y = 16; y < 32; ++y)
    for (int x = 10; x < 200; ++x) white += view.pixel(x, y) == colorTable[15];
  EXPECT_GT(white, 50);
  ASSERT_EQ(positionForPaint(first, reader_), LandingOutcome::Shown);
  EXPECT_EQ(first.current.greatestJd, firstJd);
}

TEST_F(Landing, NextFromTheLastEntryOfAFileOpensTheNextFile) {
  SessionState s = atCursor(3000, 8);
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  ASSERT_EQ(s.current.eclipseDay, 5);
  ASSERT_EQ(next(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3001);
  EXPECT_EQ(s.month, 1);
  EXPECT_EQ(reader_.openFileIndex().value_or(99), 4u);
}

TEST(LandingFiles, MissingCatalogueAtTheCursor) {
  testing::ScratchDir dir;
  CanonReader reader(dir.path());
  SessionState s = atCursor(2025, 3);
  const LandingOutcome o = positionForPaint(s, reader);
  EXPECT_EQ(o, LandingOutcome::NoCatalogueAtCursor);
  EXPECT_EQ(noCatalogueTextX(o), 50);
  EXPECT_EQ(s.restartAfterError, -1);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
  // ΔT is still computed from the (initial) Julian Day.
  EXPECT_EQ(s.deltaT, deltaTModel((0.0 - 2451545.0) / 36525.0));
}

// The next file missing when Next crosses into it, and when the landing
// goes on into it (nothing at or after 3000 December in the file for 3000).
TEST(LandingFiles, MissingNextFileDuringASearch) {
  testing::ScratchDir dir;
  testing::copyTestCanon(dir.path(), {3});
  CanonReader reader(dir.path());
  SessionState past = atCursor(3000, 12);
  EXPECT_EQ(positionForPaint(past, reader), LandingOutcome::NoCatalogueAtCursor);
  EXPECT_EQ(missingCatalogueLine(reader).rfind(kCanonFiles[4].name, 0), 0u);
  SessionState s = atCursor(3000, 8);
  ASSERT_EQ(positionForPaint(s, reader), LandingOutcome::Shown);
  const LandingOutcome o = next(s, reader);
  EXPECT_EQ(o, LandingOutcome::NoCatalogueWhileSearching);
  EXPECT_EQ(noCatalogueTextX(o), 10);
  EXPECT_EQ(s.restartAfterError, -1);
  EXPECT_EQ(s.year, 3001);
  EXPECT_EQ(s.month, 1);
}

// A blank type (4) matches nothing: the search reads to the end.
TEST_F(Landing, TypeSearchForABlankTypeRunsToTheEnd) {
  SessionState s = atCursor(2025, 1);
  s.searchType = 1;
  s.typeCriterion = 4;
  EXPECT_EQ(positionForPaint(s, reader_), LandingOutcome::EndOfCatalogue);
  EXPECT_EQ(s.year, 16999);
}

TEST_F(Landing, TypeSearchStopsAtTheType) {
  SessionState s = atCursor(2025, 1);
  s.searchType = 1;
  s.typeCriterion = 3;  // penumbral: the first after 2025 is 3000-02
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3000);
  EXPECT_EQ(s.month, 2);
  EXPECT_EQ(s.current.eclipseType, 3);
  // Landing on an entry of the type keeps it.
  SessionState t = atCursor(2025, 3);
  t.searchType = 1;
  t.typeCriterion = 1;
  ASSERT_EQ(positionForPaint(t, reader_), LandingOutcome::Shown);
  EXPECT_EQ(t.month, 3);
}

TEST_F(Landing, SarosSearchFindsTheSeriesOrGivesUpAfter400Years) {
  SessionState s = atCursor(2025, 3);
  s.searchType = 3;
  s.sarosCriterion = 145;
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3000);
  EXPECT_EQ(s.current.saros, 145);
  EXPECT_EQ(s.searchStartYear, 3000);

  SessionState t = atCursor(2025, 3);
  t.searchType = 3;
  t.sarosCriterion = 100;
  EXPECT_EQ(positionForPaint(t, reader_), LandingOutcome::SarosNotFound);
  EXPECT_EQ(t.searchStartYear, 2025);
  EXPECT_GT(t.year, 2025 + 400);
  EXPECT_EQ(t.pendingAction, kLandAtCursor);
}

// Site search with the criterion equal to the site's magnitude: the landing
// keeps the entry, a forward step does not stop at it.
TEST_F(Landing, SiteSearchEqualMagnitudePassesLandingButNotStepping) {
  SessionState s = atCursor(2025, 9);
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  // The site under the Moon at greatest eclipse.
  const GreatestEclipse g = findGreatest(s.current, 0, s.deltaT);
  ASSERT_TRUE(g.converged);
  s.site = typedChoice(g.subLunar.longitudeDeg, g.subLunar.latitudeDeg, 0);
  const SiteAtGreatest at = greatestAtSite(s.current, prepareSite(s), 0, s.deltaT);
  ASSERT_TRUE(at.converged);
  EXPECT_GT(at.altitudeDeg, 89.0);
  s.searchType = 2;
  s.magnitudeCriterion = at.umbralMagnitude;
  s.pendingAction = kLandAtCursor;
  ASSERT_EQ(positionForPaint(s, reader_), LandingOutcome::Shown);
  EXPECT_EQ(s.month, 9);
  EXPECT_EQ(s.year, 2025);
  EXPECT_EQ(s.siteMoonMagnitude, at.umbralMagnitude);

  SessionState before = atCursor(2025, 3);
  before.searchType = 2;
  before.site = s.site;
  before.magnitudeCriterion = at.umbralMagnitude;
  // At this site March reaches 1.23, September's equal magnitude is not above
  // the criterion, and no later entry of the test canon passes 1.26: the
  // search runs off the end of the catalogue.
  EXPECT_EQ(positionForPaint(before, reader_), LandingOutcome::EndOfCatalogue)
      << "landed on " << before.year << "-" << before.month;
}

// An entry whose greatest-eclipse iteration fails (no motion) is never taken
// by a site search, even with a criterion every magnitude passes.
TEST(LandingSite, UnconvergedEntryIsNeverAccepted) {
  testing::ScratchDir dir;
  testing::writeCanonWithStillEntry(dir.path());
  CanonReader reader(dir.path());
  SessionState s = atCursor(2025, 4);
  s.searchType = 2;
  s.site = typedChoice(0, 90, 0);
  s.magnitudeCriterion = -1e9;
  ASSERT_EQ(positionForPaint(s, reader), LandingOutcome::Shown);
  EXPECT_EQ(s.year, 2026);  // landed on the still entry, stepped on
  EXPECT_GT(s.siteMoonAltitude, 50);
}

// A foreign file whose only entry is dated before its own years must not send
// the walk back into the same file.
TEST(LandingFiles, MisplacedEntryDoesNotLoopTheWalk) {
  testing::ScratchDir dir;
  testing::copyTestCanon(dir.path(), {3, 5, 6});
  auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  testing::writeText(dir.path() / kCanonFiles[4].name, testing::entryText(entries[1]));  // 2025 in 3001..8000
  CanonReader reader(dir.path());
  SessionState s = atCursor(3000, 12);
  s.searchType = 1;
  s.typeCriterion = 5;
  EXPECT_EQ(positionForPaint(s, reader), LandingOutcome::EndOfCatalogue);
  EXPECT_EQ(s.year, 16999);
}

}  // namespace
}  // namespace tarvo
