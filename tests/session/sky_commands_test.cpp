// The StarMap and Simulation commands, and tarvo sky and render --display
// sky|sim, on the total eclipse of 2025 March 14 (generated canon; greatest
// eclipse 06:58:43 UT in the published catalogue).
#include <QColor>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "circumstances/geometry.h"
#include "core/drawing_surface.h"
#include "session/map_display.h"
#include "session/paint.h"
#include "session/simulation_command.h"
#include "session/sky_command.h"
#include "sky/sky_chart.h"
#include "tests/cli_runner.h"
#include "tests/pixel_probe.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::countInBox;
using testing::CliRun;
using testing::runTarvo;
const std::string kNewYork = " 2025 3 --site -74.006 40.713 10";

fs::path canonDirectory() {
  if (const char* d = std::getenv("TARVO_CANON_DIR")) return d;
  return TARVO_RUNDATA_DIR;
}

struct Listed {
  int drawn = -1;
  double azimuthFromNorth = 0, altitude = 0, magnitude = 0;
  std::string name;
};

std::vector<Listed> parseList(const std::string& out) {
  std::vector<Listed> list;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream f(line);
    Listed o;
    f >> o.drawn >> o.azimuthFromNorth >> o.altitude >> o.magnitude;
    std::getline(f >> std::ws, o.name);
    list.push_back(o);
  }
  return list;
}

int countColour(const QImage& image, int x0, int y0, int x1, int y1, QColor colour) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += image.pixelColor(x, y) == colour;
  return n;
}

class SkyCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(canonDirectory() / "mcp00001p03000.prn") ||
        !fs::exists(canonDirectory() / "location.new"))
      GTEST_SKIP() << "no generated canon and city list in " << canonDirectory();
  }

  // The view after a paint of 2025 March (the map, or the local report) at a site.
  static SessionState painted(double longitudeDeg, double latitudeDeg, int displayKind = 0) {
    SessionState s;
    s.year = 2025;
    s.month = 3;
    s.pendingAction = kLandAtCursor;
    PaintHooks hooks;
    hooks.dataDirectory = canonDirectory();
    CanonReader reader(canonDirectory());
    DrawingSurface view(692, 453);
    EXPECT_EQ(paintView(s, reader, view, hooks).outcome, LandingOutcome::Shown);
    s.siteLongitude = longitudeDeg;
    s.siteLatitude = latitudeDeg;
    s.displaySiteIndex = 99;
    s.displayKind = displayKind;
    if (displayKind == 2) paintView(s, reader, view, hooks);
    return s;
  }
};

// Yellow (magnitude −6) pixels around where the chart puts a place.
int yellowAround(const DrawingSurface& s, const SkyPlace& p) {
  const SkyObjectLook l = skyObjectLook(430, 200, -p.azimuthDeg, p.altitudeDeg, -6, 2);
  return countInBox(s, l.x - 5, l.y - 5, l.x + 5, l.y + 5, kSkyBrightestFill);
}

TEST_F(SkyCommands, ChartDateAndTimeInTheSitesZone) {
  // UT 06:58 falls on the 13th from zone −7 westwards; a report's stale date is ignored.
  for (const auto& [longitude, packed] : std::vector<std::pair<double, double>>{
           {-74.006, 2025.0314}, {-105, 2025.0313}, {-97.4, 2025.0314}}) {
    SessionState s = painted(longitude, 40.713);
    s.localEclipseDate = {2024, 9, 18};
    const SkyChartRequest r = prepareSkyChart(s);
    EXPECT_DOUBLE_EQ(r.packedDate, packed) << longitude;
    EXPECT_NEAR(r.utHours, 6 + 58.0 / 60 + 43.0 / 3600, 1.0 / 60);
  }
}

// Along New York's parallel: a Moon 2°–8° up is not drawn; where the Sun is
// up it is drawn and the Moon is not.
TEST_F(SkyCommands, LowMoonAndDaylightSites) {
  const SessionState landed = painted(0, 40.713);
  std::optional<double> lowMoon, sunUp;
  for (double longitude = -180; longitude < 180; longitude += 3) {
    const auto places = skyChartPlaces(landed.greatestJd, 40.713, longitude);
    if (!lowMoon && places[0].altitudeDeg > 2 && places[0].altitudeDeg < 8) lowMoon = longitude;
    if (!sunUp && places[1].altitudeDeg > 10) sunUp = longitude;
  }
  ASSERT_TRUE(lowMoon && sunUp);
  for (const double longitude : {*lowMoon, *sunUp}) {
    SessionState s = landed;
    s.siteLongitude = longitude;
    DrawingSurface chart(692, 453);
    drawSkyChartCommand(s, chart);
    const auto places = skyChartPlaces(s.greatestJd, 40.713, longitude);
    EXPECT_FALSE(places[0].drawn);
    EXPECT_EQ(yellowAround(chart, places[0]), 0);
    EXPECT_EQ(places[1].drawn, longitude == *sunUp);
    EXPECT_EQ(yellowAround(chart, places[1]) > 50, longitude == *sunUp);
  }
}

// Hatch pixels of a palette colour around the Moon's centre at t.
int moonHatchAt(const DrawingSurface& s, const SessionState& state, double t, int colour) {
  const EclipseElements e = elementsAt(state.current, t);
  const ShadowPlanePixel p = shadowPlanePixel(state.mapCentreX, state.mapCentreY, e.x, e.y);
  return countInBox(s, p.x - 3, p.y - 3, p.x + 3, p.y + 3, paletteColour(colour));
}

// After the map: the panel and seven discs, paced; stepping ends on the
// headless final frame.
TEST_F(SkyCommands, SimulationOfTheTotalEclipseShowsSevenDiscs) {
  SessionState s = painted(0, 0);
  DrawingSurface stepped(692, 453), final(692, 453);
  SimulationRun run = startSimulation(s, stepped);
  std::vector<bool> pauses = {simulationPauses(run)};
  while (simulationStep(run, stepped)) pauses.push_back(simulationPauses(run));
  EXPECT_TRUE(simulationFinished(run));
  EXPECT_EQ(pauses, std::vector<bool>({true, true, true, true, true, true, true, true, false}));
  drawSimulationFinal(s, final);
  int differing = 0;
  for (int y = 0; y < 453; ++y)
    for (int x = 0; x < 692; ++x) differing += stepped.pixel(x, y) != final.pixel(x, y);
  EXPECT_EQ(differing, 0);

  EXPECT_EQ(final.pixel(5, 100), colorTable[6]);  // the panel's frame
  const ContactTimes& c = s.contacts;
  ASSERT_TRUE(c.u1 && c.u2 && c.u3 && c.u4);
  int discs = 0;
  for (const auto& [t, colour] : std::vector<std::pair<double, int>>{
           {c.p1, 14}, {*c.u1, 10}, {*c.u2, 7}, {s.greatestOffsetHours, 8}, {*c.u3, 7}, {*c.u4, 10}, {c.p4, 14}})
    discs += moonHatchAt(final, s, t, colour) > 0;
  EXPECT_EQ(discs, 7);
  EXPECT_EQ(countInBox(final, 225, 0, 691, 452, colorTable[2]), 0);
  EXPECT_EQ(countInBox(final, 400, 20, 449, 39, colorTable[15]), 0);  // no time left over
}

// From Paris the Moon sets during the eclipse: after the local report the
// simulation adds a green Moon at the moonset, with its time, unpaced; its
// panel shows this eclipse's place of greatest eclipse, not a stale one.
TEST_F(SkyCommands, SimulationAfterAMoonsetReportAddsAGreenDisc) {
  SessionState s = painted(2.35, 48.85, 2);
  ASSERT_LT(s.horizonCrossHours, 100);
  const InfoPanelValues fresh = infoPanelValuesOf(painted(0, 0));  // the map's split
  s.greatestLongitudeDegrees = 99;  // as an earlier eclipse's map left it
  const InfoPanelValues panel = simulationPanelValues(s);
  EXPECT_EQ(panel.greatestLongitude.degrees, fresh.greatestLongitude.degrees);
  EXPECT_EQ(panel.greatestLongitude.minutes, fresh.greatestLongitude.minutes);
  EXPECT_EQ(panel.greatestLatitude.negative, fresh.greatestLatitude.negative);
  DrawingSurface surface(692, 453);
  SimulationRun run = startSimulation(s, surface);
  int steps = 1;
  for (; simulationStep(run, surface); ++steps) EXPECT_FALSE(simulationPauses(run));
  EXPECT_EQ(steps, 10);  // shadow, seven Moons, the label cleared, the moonset
  EXPECT_GT(moonHatchAt(surface, s, s.horizonCrossHours, 2), 0);
  EXPECT_GT(countInBox(surface, 400, 20, 449, 39, colorTable[15]), 0);
}

// tarvo sky lists what the chart of render --display sky shows; render
// --display sim draws the simulation's last frame.
TEST_F(SkyCommands, CommandLineListAndPictures) {
  const CliRun r = runTarvo(canonDirectory(), "sky" + kNewYork);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto list = parseList(r.out);
  ASSERT_EQ(list.size(), 99u);  // Moon, Sun, five planets, 92 stars
  const std::vector<std::string> first = {"Moon", "Sun", "Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
  std::vector<std::string> names;
  for (const Listed& o : list) {
    names.push_back(o.name);
    EXPECT_EQ(o.drawn, o.altitude > (names.size() == 1 ? 10 : 0) ? 1 : 0) << o.name;
    EXPECT_TRUE(o.azimuthFromNorth >= 0 && o.azimuthFromNorth < 360) << o.name;
  }
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 7), first);
  // The local report (from the eclipse elements) puts the Moon 44.2° up at
  // 41.3° from the south through the west: in the south-west.
  EXPECT_NEAR(list[0].altitude, 44.2, 0.5);
  EXPECT_NEAR(list[0].azimuthFromNorth, 180 + 41.3, 0.5);
  EXPECT_EQ(list[1].drawn, 0);  // night
  for (const Listed& o : list) {
    if (o.name == "Mars" || o.name == "Vega" || o.name == "Arcturus") {
      EXPECT_EQ(o.drawn, 1) << o.name;
    }
    if (o.name == "Jupiter") {
      EXPECT_LT(o.altitude, 0);
    }
  }

  testing::ScratchDir scratch;
  const std::string png = (scratch.path() / "x.png").string();
  CliRun picture = runTarvo(canonDirectory(), "render --display sky --out '" + png + "'" + kNewYork);
  ASSERT_EQ(picture.exitCode, 0) << picture.err;
  const QImage chart(QString::fromStdString(png));
  // The Moon's yellow dot where the list puts it: 2 px per degree from the
  // zenith at (430, 200), south down, west right.
  const Listed& moon = list[0];
  const double a = (moon.azimuthFromNorth - 180) * M_PI / 180, d = 2 * (90 - moon.altitude);
  const int x = static_cast<int>(430 + std::sin(a) * d), y = static_cast<int>(200 + std::cos(a) * d);
  EXPECT_GT(countColour(chart, x - 4, y - 4, x + 4, y + 4, QColor(255, 255, 0)), 40);

  picture = runTarvo(canonDirectory(), "render --display sim --out '" + png + "'" + kNewYork);
  ASSERT_EQ(picture.exitCode, 0) << picture.err;
  const QImage sim(QString::fromStdString(png));
  EXPECT_EQ(sim.pixelColor(5, 100), QColor(170, 68, 0));  // the panel's frame
  EXPECT_GT(countColour(sim, 225, 0, 691, 452, QColor(102, 153, 255)), 500);  // umbra
  EXPECT_GT(countColour(sim, 225, 0, 691, 452, QColor(255, 255, 0)), 50);     // P1, P4
}

}  // namespace
}  // namespace tarvo
