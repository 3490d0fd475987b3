// The view's paint over the hand-made canon: the failure texts at their
// places, the restart after a missing catalogue, the city list read once,
// the file crossing, the choice of display, any client size; and probes of
// the whole map pipeline on real eclipses of each type.
#include "session/paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/angles.h"
#include "surface/drawing_surface.h"
#include "map/map_frame.h"
#include "map/projection.h"
#include "map/visibility.h"
#include "session/map_display.h"
#include "session/site_glue.h"
#include "tests/catalogue/canon_test_support.h"
#include "tests/session/session_test_support.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 692, kHeight = 453;  // the command line's default client size
const char* const kCities = "Tokyo,139.74,35.65,0,9\nLa Paz,-68.15,-16.50,3640,-4\n";

using testing::fixedClock;

// A data directory with the city list (or without), and the hand-made canon
// files chosen by index.
struct Data {
  testing::ScratchDir dir;
  explicit Data(bool cities = true, std::vector<std::size_t> canon = {0, 1, 2, 3, 4, 5, 6}) {
    if (cities) testing::writeText(dir.path() / "location.new", kCities);
    testing::copyTestCanon(dir.path(), canon);
  }
  PaintHooks hooks(int* timeSetCalls = nullptr) const {
    PaintHooks h;
    h.clock = fixedClock(2025, 1);
    if (timeSetCalls != nullptr) h.openTimeSet = [timeSetCalls] { ++*timeSetCalls; };
    return h;
  }
};

using testing::atCursor;

// The texts drawn alone, white on black, as the expected picture.
DrawingSurface picture(const std::vector<ScreenText>& texts, int width = kWidth, int height = kHeight) {
  DrawingSurface s(width, height);
  s.clear(paletteColour(0));
  s.setTextColour(paletteColour(15));
  for (const ScreenText& t : texts) drawText(s, t.x, t.y, t.text);
  return s;
}

// Pixels that differ between two surfaces of the same size.
int differingPixels(const DrawingSurface& a, const DrawingSurface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

bool allBlack(const DrawingSurface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.pixel(x, y) != paletteColour(0)) return false;
  return true;
}

// Each failure of the catalogue shows exactly its texts at their places and
// leaves the state as the next paint needs it.
TEST(PaintFailures, TextsAtTheirPlacesAndTheStateAfter) {
  struct Case {
    const char* name;
    std::vector<std::size_t> canon;
    double year, month;
    int searchType;
    double sarosCriterion;
    bool next;
    LandingOutcome outcome;
    std::vector<ScreenText> texts;
    int restartAfterError;
    const char* missingFile = nullptr;  // named in a third line under the texts
  };
  const std::vector<Case> cases = {
      {"no catalogue at the cursor", {}, 2025, 3, 0, 0, false, LandingOutcome::NoCatalogueAtCursor,
       {{50, 16, "  No bessel file! "}, {50, 32, "  Please start at directory which EC****.prn available."}},
       -1, "mcp00001p03000.prn"},
      {"no next file while searching", {3}, 3000, 8, 0, 0, true,
       LandingOutcome::NoCatalogueWhileSearching,
       {{10, 16, "  No bessel file! "}, {10, 32, "  Please start at directory which EC****.prn available."}},
       -1, "mcp03001p08000.prn"},
      {"past the last eclipse", {0, 1, 2, 3, 4, 5, 6}, 16999, 10, 0, 0, true,
       LandingOutcome::EndOfCatalogue, {{10, 16, "The end of the Bessel file"}}, 0},
      {"Saros series not within 400 years", {0, 1, 2, 3, 4, 5, 6}, 2025, 3, 3, 100, false,
       LandingOutcome::SarosNotFound, {{50, 16, "This SAROS series is not available within 400 years."}}, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Data data(true, k.canon);
    CanonReader reader(data.dir.path());
    DrawingSurface surface(kWidth, kHeight);
    SessionState s = atCursor(k.year, k.month);
    s.searchType = k.searchType;
    s.sarosCriterion = k.sarosCriterion;
    if (k.next) {
      ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
      s.pendingAction = kSearchForward;
    }
    const PaintResult r = paintView(s, reader, surface, data.hooks());
    EXPECT_EQ(r.outcome, k.outcome);
    EXPECT_FALSE(r.restartedAfterError);
    std::vector<ScreenText> texts = k.texts;
    const std::string fileLine =
        k.missingFile ? std::string(k.missingFile) + " not found in " + data.dir.path().string() : "";
    if (k.missingFile) texts.push_back({texts.front().x, 48, fileLine.c_str()});
    EXPECT_EQ(differingPixels(surface, picture(texts)), 0);
    EXPECT_EQ(s.pendingAction, kLandAtCursor);
    EXPECT_EQ(s.restartAfterError, k.restartAfterError);
  }
}

// A catalogue file damaged from its first entry on (here: its beginning is
// gone) is named under the two texts, where a missing file would be.
TEST(PaintFailures, ACatalogueFileDamagedFromItsFirstEntryIsNamedUnderTheTexts) {
  Data data(true, {});
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  testing::writeText(data.dir.path() / kCanonFiles[3].name,
                     testing::entryText(entries[1]) + testing::entryText(entries.back()));
  CanonReader reader(data.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(2025, 3);
  const PaintResult r = paintView(s, reader, surface, data.hooks());
  EXPECT_EQ(r.outcome, LandingOutcome::NoCatalogueAtCursor);
  const std::string line = "mcp00001p03000.prn line 1: entry 1: the file begins after its first year";
  EXPECT_EQ(r.catalogueDamage, line);
  EXPECT_EQ(differingPixels(surface, picture({{50, 16, "  No bessel file! "},
                                              {50, 32, "  Please start at directory which EC****.prn available."},
                                              {50, 48, line.c_str()}})),
            0);
}

// After a paint without a catalogue, the next paint takes the clock's month,
// opens the Time Set dialog and draws nothing; the one after lands again.
TEST(PaintFailures, RestartAfterAMissingCatalogueCallsTheHookOnce) {
  Data empty(true, {});
  int timeSetCalls = 0;
  const PaintHooks hooks = empty.hooks(&timeSetCalls);
  CanonReader reader(empty.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(1500, 6);
  EXPECT_EQ(paintView(s, reader, surface, hooks).outcome, LandingOutcome::NoCatalogueAtCursor);
  EXPECT_EQ(timeSetCalls, 0);

  s.year = 1700;  // whatever the cursor, the restart takes the clock
  const PaintResult restarted = paintView(s, reader, surface, hooks);
  EXPECT_TRUE(restarted.restartedAfterError);
  EXPECT_EQ(timeSetCalls, 1);
  EXPECT_TRUE(allBlack(surface));
  EXPECT_EQ(s.year, 2025);
  EXPECT_EQ(s.month, 1);
  EXPECT_EQ(s.searchStartYear, 2025);
  EXPECT_EQ(s.restartAfterError, 0);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);

  // With the files back, the following paint shows the eclipse of March.
  testing::copyTestCanon(empty.dir.path());
  const PaintResult shown = paintView(s, reader, surface, hooks);
  EXPECT_EQ(shown.outcome, LandingOutcome::Shown);
  EXPECT_FALSE(shown.restartedAfterError);
  EXPECT_EQ(timeSetCalls, 1);
  EXPECT_EQ(s.month, 3);
}

// Next eclipse from the last entry of one file goes on to the first entry of
// the next file, and the map shows it.
TEST(PaintFlow, NextCrossesIntoTheNextFile) {
  Data data;
  CanonReader reader(data.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(3000, 8);
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3000);
  EXPECT_EQ(s.month, 8);
  s.pendingAction = kSearchForward;
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  EXPECT_EQ(s.year, 3001);
  EXPECT_EQ(s.month, 1);
  EXPECT_EQ(s.current.saros, 155);
  EXPECT_EQ(s.pendingAction, kLandAtCursor);
  // The panel's brown frame is drawn: an eclipse is on show.
  EXPECT_EQ(surface.pixel(5, 100), paletteColour(6));
}

// The city list is read when the session is made, never by a paint: the
// first city is the site before any paint; the first paint shows the missing
// file's texts and gives the reading's message, later paints neither.
TEST(PaintFlow, CityListIsReadWithTheSessionAndToldByItsFirstPaint) {
  Data noCities(false);
  CanonReader reader(noCities.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(2025, 3);
  s.displayKind = 2;  // the local report leaves the top rows free
  readSessionCityList(s, (noCities.dir.path() / "location.new").string());
  paintView(s, reader, surface, noCities.hooks());
  EXPECT_EQ(s.sites.count(), 0);
  DrawingSurface texts = picture({{50, 16, "NO LOCATION.ENG FILE!!"}, {50, 32, "PLEASE CHECK DIRECTORY!!"}});
  int whiteInTextRows = 0;
  for (int y = 16; y < 48; ++y)
    for (int x = 0; x < kWidth; ++x) whiteInTextRows += texts.pixel(x, y) == paletteColour(15);
  ASSERT_GT(whiteInTextRows, 0);
  for (int y = 16; y < 30; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (texts.pixel(x, y) == paletteColour(15)) {
        EXPECT_EQ(surface.pixel(x, y), paletteColour(15)) << x << "," << y;
      }
  // The file appears; no paint reads it, and the texts are not shown again.
  testing::writeText(noCities.dir.path() / "location.new", kCities);
  paintView(s, reader, surface, noCities.hooks());
  EXPECT_EQ(s.sites.count(), 0);
  EXPECT_NE(surface.pixel(50, 20), paletteColour(15));

  Data data;
  SessionState t = atCursor(2025, 3);
  readSessionCityList(t, (data.dir.path() / "location.new").string());
  ASSERT_EQ(t.sites.count(), 2);
  EXPECT_EQ(t.site.cityNumber, 1);
  EXPECT_EQ(t.site.where.longitudeDeg, 139.74);
  EXPECT_EQ(t.site.where.latitudeDeg, 35.65);

  // A skipped line: its message in the result of the first paint only.
  testing::writeText(data.dir.path() / "location.new", std::string(kCities) + "Far,0,999,0,9\n");
  SessionState u = atCursor(2025, 3);
  readSessionCityList(u, (data.dir.path() / "location.new").string());
  CanonReader reader2(data.dir.path());
  EXPECT_EQ(paintView(u, reader2, surface, data.hooks()).siteListNotice,
            "location.new line 3: latitude 999 outside \u2212" "90..90 (1 line skipped)");
  EXPECT_EQ(paintView(u, reader2, surface, data.hooks()).siteListNotice, "");
}

// The local report replaces the map: its heading in white at x = 10, no panel.
TEST(PaintFlow, DisplayKindChoosesMapOrLocalReport) {
  Data data;
  CanonReader reader(data.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(2025, 3);
  s.displayKind = 2;
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  EXPECT_NE(surface.pixel(5, 100), paletteColour(6));
  int whiteOnDateRow = 0;
  for (int y = 30; y < 44; ++y)
    for (int x = 10; x < 300; ++x) whiteOnDateRow += surface.pixel(x, y) == paletteColour(15);
  EXPECT_GT(whiteOnDateRow, 100);

  s.displayKind = 0;
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  EXPECT_EQ(surface.pixel(5, 100), paletteColour(6));
  EXPECT_EQ(s.month, 3);
}

// Any client size paints, down to 1 × 1 and narrower than the panel, with
// the layout the size gives.
TEST(PaintFlow, AnyClientSizePaints) {
  Data data;
  CanonReader reader(data.dir.path());
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{
           {1, 1}, {2, 3}, {50, 400}, {224, 100}, {225, 453}, {230, 20}, {236, 236}, {3000, 40}, {692, 453}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    DrawingSurface surface(w, h);
    SessionState s = atCursor(2025, 3);
    EXPECT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
    const MapFrame f = layoutMap(0, 0, w, h);
    EXPECT_EQ(s.mapFrame.left, f.left);
    EXPECT_EQ(s.mapFrame.bottom, f.bottom);
    EXPECT_EQ(s.mapFrame.scale, f.scale);
    EXPECT_EQ(s.pendingAction, kLandAtCursor);
  }
}

// An entry whose elements never converge (no motion of the Moon) still
// paints: the panel and the map, without zones or marker.
TEST(PaintFlow, AnUnconvergedEntryPaintsWithoutZones) {
  Data data(true, {});
  const fs::path file = data.dir.path() / kCanonFiles[3].name;
  std::vector<testing::StoredEntry> entries =
      testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  ASSERT_GE(entries.size(), 2u);
  std::string text;
  for (testing::StoredEntry e : entries) {
    for (int i : {12, 13, 14, 16, 17, 18}) e[static_cast<std::size_t>(i)] = 0;  // x and y rates
    text += testing::entryText(e);
  }
  testing::writeText(file, text);
  CanonReader reader(data.dir.path());
  DrawingSurface surface(kWidth, kHeight);
  SessionState s = atCursor(2025, 3);
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  EXPECT_FALSE(s.circumstances.greatestConverged);
  EXPECT_FALSE(infoPanelValuesOf(s, s.circumstances).converged);
  EXPECT_EQ(surface.pixel(5, 100), paletteColour(6));
  for (int y = s.mapFrame.top; y <= s.mapFrame.bottom; ++y)
    for (int x = s.mapFrame.left; x <= s.mapFrame.right; ++x)
      for (int zone : {1, 2, 3, 4, 5, 6, 14}) ASSERT_NE(surface.pixel(x, y), paletteColour(zone)) << x << "," << y;
}

// The whole pipeline on the generated canon, one eclipse of each type: the
// map is centred on the sub-lunar meridian with the yellow marker there, and
// the zone colours inside the map follow the type.
TEST(PaintPipeline, RealEclipsesOfEachType) {
  const fs::path rundata = TARVO_RUNDATA_DIR;
  if (!fs::exists(rundata / "mcp00001p03000.prn")) GTEST_SKIP() << "no canon in " << rundata;
  struct Case {
    double year, month;
    int type;
    std::vector<int> zoneColours;  // palette indices present inside the map
    std::vector<int> absentColours;
  };
  const int brown = 6, magenta = 5, red = 4, cyan = 3, green = 2, blue = 1, yellow = 14;
  for (const Case& k : {Case{2025, 3, 1, {brown, magenta, red, cyan, green, blue}, {}},
                        Case{2024, 9, 2, {brown, magenta, green, blue}, {red, cyan}},
                        Case{2024, 3, 3, {brown, blue}, {magenta, red, cyan, green}}}) {
    SCOPED_TRACE(std::to_string(static_cast<int>(k.year)) + "/" + std::to_string(static_cast<int>(k.month)));
    CanonReader reader(rundata);
    DrawingSurface surface(kWidth, kHeight);
    SessionState s = atCursor(k.year, k.month);
    PaintHooks hooks;
    ASSERT_EQ(paintView(s, reader, surface, hooks).outcome, LandingOutcome::Shown);
    ASSERT_EQ(static_cast<int>(s.current.eclipseType), k.type);
    // Centred: the sub-lunar longitude is the central meridian.
    const double lambda0 = s.circumstances.subLunar.longitudeDeg;
    EXPECT_NEAR(-s.mapFrame.longitudeOffsetDeg, lambda0, testing::kLongChainRounding);
    const MapFrame f = mapFrameOf(s);
    const MapOffset marker = projectToMap(f, lambda0, s.circumstances.subLunar.latitudeDeg);
    EXPECT_EQ(marker.x, 0);
    EXPECT_EQ(surface.pixel(s.mapFrame.centreX, s.mapFrame.centreY - marker.y), paletteColour(yellow));
    std::vector<int> count(16, 0);
    for (int y = s.mapFrame.top + 1; y < s.mapFrame.bottom; ++y)
      for (int x = s.mapFrame.left + 1; x < s.mapFrame.right; ++x)
        for (int c = 0; c < 16; ++c)
          if (surface.pixel(x, y) == paletteColour(c)) ++count[static_cast<std::size_t>(c)];
    for (int c : k.zoneColours) EXPECT_GT(count[static_cast<std::size_t>(c)], 100) << "colour " << c;
    for (int c : k.absentColours) EXPECT_EQ(count[static_cast<std::size_t>(c)], 0) << "colour " << c;
    // Around the zone-6 seed, 170° west of the centre on the equator, the
    // hatch is blue (the Moon below the horizon from P4 to P1) and no other.
    const MapOffset seed = projectToMap(f, lambda0 - 170, 0);
    int blueNearSeed = 0;
    for (int dy = -3; dy <= 3; ++dy) {
      for (int dx = -3; dx <= 3; ++dx) {
        const Rgb c = surface.pixel(s.mapFrame.centreX + seed.x + dx, s.mapFrame.centreY - seed.y + dy);
        blueNearSeed += c == paletteColour(blue);
        for (int zone : {brown, magenta, red, cyan, green}) EXPECT_NE(c, paletteColour(zone)) << dx << " " << dy;
      }
    }
    EXPECT_GT(blueNearSeed, 0);
    // Within 5° of the sub-lunar point the Moon is high at every contact:
    // nothing hatched there.
    for (double dLon = -5; dLon <= 5; dLon += 1) {
      for (double dLat = -5; dLat <= 5; dLat += 1) {
        const MapOffset p = projectToMap(f, lambda0 + dLon, s.circumstances.subLunar.latitudeDeg + dLat);
        const Rgb c = surface.pixel(s.mapFrame.centreX + p.x, s.mapFrame.centreY - p.y);
        for (int zone : {brown, magenta, red, cyan, green, blue}) {
          EXPECT_NE(c, paletteColour(zone)) << dLon << " " << dLat;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The ΔT bands: the boundaries at ΔT + σ are those at ΔT moved east by σ/240
// degrees. σ = 720 s moves them 3°, one dash period, so the dashes of both
// fall on the same samples; probed on a near-equatorial eclipse, whose
// boundaries are steep (a horizontal run would match either way).
TEST(PaintBands, BoundariesAtDeltaTPlusSigmaMoveEastBySigmaOver240) {
  Data data;
  CanonReader reader(data.dir.path());
  DrawingSurface surface(1280, 800);
  SessionState s = atCursor(2025, 3);
  ASSERT_EQ(paintView(s, reader, surface, data.hooks()).outcome, LandingOutcome::Shown);
  const MapFrame f = mapFrameOf(s);
  constexpr double kSigma = 720;
  DrawingSurface at(1280, 800), later(1280, 800);
  const EclipseCircumstances& e = s.circumstances;
  drawBoundaryBands(at, f, visibilityInputsOf(eclipseCircumstances(e.record, e.deltaTSeconds, e.greatestHours)));
  drawBoundaryBands(later, f,
                    visibilityInputsOf(eclipseCircumstances(e.record, e.deltaTSeconds + kSigma, e.greatestHours)));
  const int shift = static_cast<int>(std::lround(f.scale * degToRad(longitudeShiftDeg(kSigma))));
  ASSERT_GT(shift, 5);
  const MapOffset north = projectToMap(f, 0, 70), south = projectToMap(f, 0, -70);
  int dots = 0, east = 0, west = 0, notYellow = 0;
  for (int y = f.centreY - north.y; y <= f.centreY - south.y; ++y) {
    for (int x = f.left + shift; x <= f.right - shift; ++x) {
      const Rgb c = at.pixel(x, y);
      if (c == paletteColour(0)) continue;
      ++dots;
      notYellow += c != paletteColour(PaletteIndex::Yellow);
      // The shift rounds to whole pixels and the dashes are two pixels wide: one pixel either way.
      east += later.pixel(x + shift - 1, y) == c || later.pixel(x + shift, y) == c ||
              later.pixel(x + shift + 1, y) == c;
      west += later.pixel(x - shift, y) == c;
    }
  }
  EXPECT_GT(dots, 200);
  EXPECT_EQ(notYellow, 0);  // one colour that shows on every zone
  // Where two zones share a boundary, or an arc ends, a dot may lack its
  // partner.
  EXPECT_GT(east, dots * 7 / 10) << west;
  EXPECT_LT(west, dots * 2 / 10) << east;
}

}  // namespace
}  // namespace tarvo
