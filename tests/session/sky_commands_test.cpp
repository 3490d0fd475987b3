// The StarMap and Simulation commands, and tarvo sky and render --display
// sky|sim, on the total eclipse of 2025 March 14 (generated canon; greatest
// eclipse 06:58:43 UT in the published catalogue).
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "circumstances/geometry.h"
#include "base/angles.h"
#include "session/current_eclipse.h"
#include "tests/slow_tests.h"
#include "surface/drawing_surface.h"
#include "base/angles.h"
#include "session/map_display.h"
#include "session/mouse_commands.h"
#include "session/paint.h"
#include "session/simulation_command.h"
#include "session/site_glue.h"
#include "session/sky_command.h"
#include "sky/sky_chart.h"
#include "tests/cli_runner.h"
#include "tests/pixel_probe.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::countInBox;

fs::path canonDirectory() {
  if (const char* d = std::getenv("TARVO_CANON_DIR")) return d;
  return TARVO_RUNDATA_DIR;
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
    readSessionCityList(s, (canonDirectory() / kSiteFileName).string());
    CanonReader reader(canonDirectory());
    DrawingSurface view(692, 453);
    EXPECT_EQ(paintView(s, reader, view, hooks).outcome, LandingOutcome::Shown);
    s.site = typedChoice(longitudeDeg, latitudeDeg, 0);
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

// Hatch pixels of a palette colour around the Moon's centre at t.
int moonHatchAt(const DrawingSurface& s, const SessionState& state, double t, int colour) {
  const EclipseElements e = elementsAt(state.current, t);
  const ShadowPlanePixel p = shadowPlanePixel(state.mapFrame.centreX, state.mapFrame.centreY, e.x, e.y);
  return countInBox(s, p.x - 3, p.y - 3, p.x + 3, p.y + 3, paletteColour(colour));
}

TEST_F(SkyCommands, ChartDateAndTimeInTheSitesZone) {
  // UT 06:58 falls on the 13th from zone −7 westwards; a report's stale date is ignored.
  for (const auto& [longitude, packed] : std::vector<std::pair<double, double>>{
           {-74.006, 2025.0314}, {-105, 2025.0313}, {-97.4, 2025.0314}}) {
    SessionState s = painted(longitude, 40.713);
    s.localEclipseDate = {2024, 9, 18};
    const SkyChartRequest r = prepareSkyChart(s);
    EXPECT_DOUBLE_EQ(r.packedDate, packed) << longitude;
    EXPECT_NEAR(r.utHours, 6 + 58.0 / 60 + 43.0 / 3600, testing::kPanelMinuteH);
  }
}

// Along New York's parallel: a Moon 2°–8° up is not drawn; where the Sun is
// up it is drawn and the Moon is not.
TEST_F(SkyCommands, LowMoonAndDaylightSites) {
  const SessionState landed = painted(0, 40.713);
  std::optional<double> lowMoon, sunUp;
  for (double longitude = -180; longitude < 180; longitude += 3) {
    const auto places = skyChartPlaces(landed.current.greatestJd, 40.713, longitude);
    if (!lowMoon && places[0].altitudeDeg > 2 && places[0].altitudeDeg < 8) lowMoon = longitude;
    if (!sunUp && places[1].altitudeDeg > 10) sunUp = longitude;
  }
  ASSERT_TRUE(lowMoon && sunUp);
  for (const double longitude : {*lowMoon, *sunUp}) {
    SessionState s = landed;
    s.site.where.longitudeDeg = longitude;
    DrawingSurface chart(692, 453);
    drawSkyChartCommand(s, chart);
    const auto places = skyChartPlaces(s.current.greatestJd, 40.713, longitude);
    EXPECT_FALSE(places[0].drawn);
    EXPECT_EQ(yellowAround(chart, places[0]), 0);
    EXPECT_EQ(yellowAround(chart, places[1]) > 50, longitude == *sunUp);
  }
}

// After the map: the panel and seven discs; stepping as a timer does ends on
// the headless final frame.
TEST_F(SkyCommands, SimulationOfTheTotalEclipseShowsSevenDiscs) {
  SessionState s = painted(0, 0);
  DrawingSurface stepped(692, 453), final(692, 453);
  SimulationRun run = startSimulation(s, stepped);
  while (simulationStep(run, stepped)) {
  }
  drawSimulationFinal(s, final);
  EXPECT_EQ(final.image(), stepped.image());
  EXPECT_EQ(final.pixel(5, 100), colorTable[6]);  // the panel's frame
  const ContactTimes& c = s.circumstances.contacts;
  ASSERT_TRUE(c.u1 && c.u2 && c.u3 && c.u4);
  int discs = 0;
  for (const auto& [t, colour] : std::vector<std::pair<double, int>>{
           {c.p1, 14}, {*c.u1, 10}, {*c.u2, 7}, {s.circumstances.greatestHours, 8}, {*c.u3, 7}, {*c.u4, 10}, {c.p4, 14}})
    discs += moonHatchAt(final, s, t, colour) > 0;
  EXPECT_EQ(discs, 7);
  EXPECT_EQ(countInBox(final, 225, 0, 691, 452, colorTable[2]), 0);
}

// From Paris the Moon sets during the eclipse: after the local report the
// simulation adds a green Moon at the moonset, with its time, unpaced; its
// panel shows this eclipse's place of greatest eclipse, not a stale one.
TEST_F(SkyCommands, SimulationAfterAMoonsetReportAddsAGreenDisc) {
  SessionState s = painted(2.35, 48.85, 2);
  ASSERT_TRUE(s.horizonCrossHours);
  const SessionState map = painted(0, 0);
  const InfoPanelValues fresh = infoPanelValuesOf(map, map.circumstances);  // the map's split
  EXPECT_EQ(simulationPanelValues(s).greatestLongitude.degrees, fresh.greatestLongitude.degrees);
  DrawingSurface surface(692, 453);
  SimulationRun run = startSimulation(s, surface);
  EXPECT_TRUE(simulationPauses(run));  // the shadow alone for 500 ms
  int steps = 1;
  for (; simulationStep(run, surface); ++steps) EXPECT_FALSE(simulationPauses(run));
  EXPECT_EQ(steps, 10);  // shadow, seven Moons, the label cleared, the moonset
  EXPECT_GT(moonHatchAt(surface, s, *s.horizonCrossHours, 2), 0);
  EXPECT_GT(countInBox(surface, 400, 20, 449, 39, colorTable[15]), 0);
}

// tarvo sky lists what the chart shows; render --display sky|sim writes the
// commands' pictures.
TEST_F(SkyCommands, CommandLineListAndPictures) {
  const std::string site = " 2025 3 --site -74.006 40.713 10";
  const testing::CliRun r = testing::runTarvo(canonDirectory(), "sky" + site);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::istringstream lines(r.out);
  std::map<std::string, std::vector<double>> listed;  // drawn, azimuth, altitude by name
  std::vector<std::string> order;
  for (std::string line; std::getline(lines, line);) {
    int drawn = 0, used = 0;
    double azimuth = 0, altitude = 0, magnitude = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%d %lf %lf %lf %n", &drawn, &azimuth, &altitude, &magnitude, &used), 4) << line;
    order.push_back(line.substr(static_cast<std::size_t>(used)));
    listed[order.back()] = {double(drawn), azimuth, altitude};
    EXPECT_EQ(drawn == 1, altitude > (order.size() == 1 ? 10 : 0)) << line;  // Moon above 10°
  }
  ASSERT_EQ(order.size(), 99u);  // Moon, Sun, five planets, 92 stars
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 7),
            std::vector<std::string>({"Moon", "Sun", "Mercury", "Venus", "Mars", "Jupiter", "Saturn"}));
  // The local report (from the eclipse elements) puts the Moon 44.2° up at
  // 41.3° from the south through the west: in the south-west.
  EXPECT_NEAR(listed["Moon"][2], 44.2, testing::kChartBesideReportDeg);
  EXPECT_NEAR(listed["Moon"][1], 180 + 41.3, testing::kChartBesideReportDeg);
  for (const char* up : {"Mars", "Vega", "Arcturus"}) EXPECT_EQ(listed[up][0], 1) << up;
  EXPECT_EQ(listed["Jupiter"][0], 0);
  EXPECT_EQ(listed.count("-"), 1u);  // the unnamed stars

  testing::ScratchDir scratch;
  const std::string png = (scratch.path() / "x.png").string();
  const SessionState ny = painted(-74.006, 40.713);
  for (const auto draw : {drawSkyChartCommand, drawSimulationFinal}) {
    const std::string display = draw == drawSkyChartCommand ? "sky" : "sim";
    ASSERT_EQ(testing::runTarvo(canonDirectory(), "render --display " + display + " --out '" + png + "'" + site).exitCode, 0);
    SessionState s = ny;
    DrawingSurface expected(692, 453);
    draw(s, expected);
    EXPECT_EQ(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32), expected.image()) << display;
  }
}

// The chart, the map and the report agree at every date: at a site placed on
// the map's sub-lunar point the chart's Moon and the report's both stand at
// the zenith, and the Sun (opposite the shadow axis) at the nadir within the
// Moon's distance from the axis. Every 71st entry of the whole catalogue.
TEST_F(SkyCommands, MoonAtTheZenithOfTheSubLunarPointOverTheWholeCatalogue) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "walks the whole catalogue";
  constexpr double kZenithLimitDeg = 89.95;
  CanonReader reader(canonDirectory());
  double lowestChart = 90, lowestReport = 90;
  int checked = 0;
  for (const CanonFile& file : kCanonFiles) {
    EclipseEntry e;
    ASSERT_TRUE(succeeded(reader.openFirst(file.firstYear, DeltaTChoice{}, e))) << file.name;
    for (int n = 0;; ++n) {
      if (n % 71 == 0) {
        SessionState s;
        takeCurrentEclipse(s, e);
        const EclipseCircumstances& c = updateCurrentEclipse(s);
        if (c.greatestConverged) {
          s.site = typedChoice(c.subLunar.longitudeDeg, c.subLunar.latitudeDeg, 0);
          const SkyChartRequest request = prepareSkyChart(s);
          const std::vector<SkyPlace> places = skyChartPlacesFor(request);
          const EclipseElements at = elementsAt(c.record, c.greatestHours);
          const double axisDistanceDeg = std::hypot(at.x, at.y) / 3600.0;
          EXPECT_GE(places[0].altitudeDeg, kZenithLimitDeg) << e.year << " " << e.month;
          EXPECT_GE(s.siteMoonAltitude, kZenithLimitDeg) << e.year << " " << e.month;
          EXPECT_NEAR(places[1].altitudeDeg, -90.0, axisDistanceDeg + testing::kNadirDeg) << e.year << " " << e.month;
          lowestChart = std::fmin(lowestChart, places[0].altitudeDeg);
          lowestReport = std::fmin(lowestReport, s.siteMoonAltitude);
          ++checked;
        }
      }
      if (!succeeded(reader.readNext(DeltaTChoice{}, e))) break;
    }
  }
  std::printf("[ measured ] %d entries: lowest Moon altitude at the sub-lunar point, chart %.4f, report %.4f deg\n",
              checked, lowestChart, lowestReport);
  EXPECT_GT(checked, 1000);
}

// The Sun the chart takes from the elements is the one of the Sun's theory
// where that theory is good (within 0.03° near 2000).
TEST_F(SkyCommands, ChartSunFromTheElementsMatchesTheSunTheoryIn2025) {
  SessionState s = painted(-74.006, 40.713);
  const SkyChartRequest r = prepareSkyChart(s);
  const ChartAnchors theory = theoryAnchors(r.jd);
  const double separationDeg =
      std::acos(std::sin(r.anchors.sunDecDeg * kDegToRad) * std::sin(theory.sunDecDeg * kDegToRad) +
                std::cos(r.anchors.sunDecDeg * kDegToRad) * std::cos(theory.sunDecDeg * kDegToRad) *
                    std::cos((r.anchors.sunRaDeg - theory.sunRaDeg) * kDegToRad)) /
      kDegToRad;
  EXPECT_LT(separationDeg, testing::kSunFromElementsDeg);
  EXPECT_NEAR(angleDiffDeg(r.anchors.greenwichSiderealDeg, theory.greenwichSiderealDeg), 0.0, testing::kSiderealTheoryDeg);
}

// The star map leaves out a Moon below 10°; the note says so with the Moon's
// altitude, which is about 90° less the distance from the sub-lunar point.
TEST_F(SkyCommands, MoonNoteOnlyWhenTheChartLeavesTheMoonOut) {
  const SessionState base = painted(0, 0);
  const GeoPoint under = base.circumstances.subLunar;
  struct Case {
    double awayDeg;  // the site's distance from the sub-lunar point, degrees
    bool note;
  };
  for (const Case& c : {Case{0, false}, Case{75, false}, Case{86, true}, Case{100, true}}) {
    SCOPED_TRACE(c.awayDeg);
    // On the great circle through the sub-lunar point along its meridian.
    const double lat = under.latitudeDeg + (under.latitudeDeg > 0 ? -c.awayDeg : c.awayDeg);
    const double latitude = std::abs(lat) <= 90 ? lat : (lat > 0 ? 180 - lat : -180 - lat);
    const double longitude = std::abs(lat) <= 90 ? under.longitudeDeg : under.longitudeDeg + 180;
    const std::string note =
        skyChartMoonNote(skyChartRequest(base.circumstances, longitude, latitude));
    EXPECT_EQ(!note.empty(), c.note) << note;
    if (!c.note) continue;
    double altitude = 0;
    ASSERT_EQ(std::sscanf(note.c_str(), "The Moon is not drawn: its altitude is %lf", &altitude), 1);
    EXPECT_NEAR(altitude, 90 - c.awayDeg, testing::kMovedSiteAltitudeDeg);
  }
}

// The status line over the map: the point's coordinates, and the zone's
// words from the same contacts the map is drawn from: the whole eclipse is
// seen under the Moon, none of it at the antipode.
TEST_F(SkyCommands, MapStatusLineSaysWhatIsSeenUnderTheMouse) {
  const SessionState s = painted(0, 0);
  const GeoPoint under = s.circumstances.subLunar;
  std::string nearest, farthest;
  double nearestDeg = 360, farthestDeg = 0;
  for (int y = s.mapFrame.top + 2; y < s.mapFrame.bottom; y += 3) {
    for (int x = s.mapFrame.left + 2; x < s.mapFrame.right; x += 3) {
      const std::string line = mapStatusLine(s, x, y);
      double lon = 0, lat = 0;
      if (std::sscanf(line.c_str(), "Lon %lf Lat %lf", &lon, &lat) != 2) continue;
      const double cosD = std::sin(degToRad(lat)) * std::sin(degToRad(under.latitudeDeg)) +
                          std::cos(degToRad(lat)) * std::cos(degToRad(under.latitudeDeg)) *
                              std::cos(degToRad(lon - under.longitudeDeg));
      const double d = std::acos(std::clamp(cosD, -1.0, 1.0)) / kDegToRad;
      if (d < nearestDeg) nearestDeg = d, nearest = line;
      if (d > farthestDeg) farthestDeg = d, farthest = line;
    }
  }
  EXPECT_LT(nearestDeg, 2);
  EXPECT_GT(farthestDeg, 150);
  EXPECT_NE(nearest.find(" \u2014 the whole eclipse is seen"), std::string::npos) << nearest;
  EXPECT_NE(farthest.find(" \u2014 the Moon is below the horizon throughout"), std::string::npos)
      << farthest;
  // Off the map, or with the local report shown: nothing.
  EXPECT_EQ(mapStatusLine(s, s.mapFrame.right + 5, s.mapFrame.top + 5), "");
  SessionState report = s;
  report.displayKind = kDisplayLocalReport;
  EXPECT_EQ(mapStatusLine(report, (s.mapFrame.left + s.mapFrame.right) / 2, (s.mapFrame.top + s.mapFrame.bottom) / 2), "");
}

}  // namespace
}  // namespace tarvo
