// tarvo sky on the generated canon: the sky above New York at greatest
// eclipse of 2025 March 14 (06:58:43 UT).
#include <QColor>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli_runner.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::runTarvo;

fs::path canonDirectory() {
  if (const char* d = std::getenv("TARVO_CANON_DIR")) return d;
  return TARVO_RUNDATA_DIR;
}

struct ListedObject {
  int drawn = -1;
  double azimuthFromNorth = 0, altitude = 0, magnitude = 0;
  std::string name;
};

std::vector<ListedObject> parseList(const std::string& out) {
  std::vector<ListedObject> list;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    ListedObject o;
    fields >> o.drawn >> o.azimuthFromNorth >> o.altitude >> o.magnitude;
    std::getline(fields >> std::ws, o.name);
    list.push_back(o);
  }
  return list;
}

const ListedObject* named(const std::vector<ListedObject>& list, const std::string& name) {
  for (const ListedObject& o : list)
    if (o.name == name) return &o;
  return nullptr;
}

TEST(SkyCommand, NewYorkAtTheTotalEclipseOf2025March) {
  if (!fs::exists(canonDirectory() / "mcp00001p03000.prn")) {
    GTEST_SKIP() << "no generated canon in " << canonDirectory();
  }
  const CliRun r = runTarvo(canonDirectory(), "sky 2025 3 --site -74.006 40.713 10");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto list = parseList(r.out);
  ASSERT_EQ(list.size(), 99u);  // Moon, Sun, five planets, 92 stars
  const std::vector<std::string> first = {"Moon", "Sun", "Mercury", "Venus", "Mars", "Jupiter",
                                          "Saturn"};
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(list[i].name, first[i]);
  // The chart's rules: the Moon above 10°, everything else above the horizon.
  for (std::size_t i = 0; i < list.size(); ++i) {
    const double lowest = i == 0 ? 10 : 0;
    EXPECT_EQ(list[i].drawn, list[i].altitude > lowest ? 1 : 0) << list[i].name;
    EXPECT_GE(list[i].azimuthFromNorth, 0) << list[i].name;
    EXPECT_LT(list[i].azimuthFromNorth, 360) << list[i].name;
    EXPECT_FALSE(list[i].name.empty());
  }
  // The local report of the same site (from the eclipse elements) puts the
  // Moon 44.2° up at azimuth 41.3° from the south through the west.
  const ListedObject& moon = list[0];
  EXPECT_NEAR(moon.altitude, 44.2, 0.5);
  EXPECT_NEAR(moon.azimuthFromNorth, 180 + 41.3, 0.5);
  EXPECT_EQ(moon.magnitude, -6);
  EXPECT_EQ(list[1].drawn, 0);  // night: the Sun is down
  for (const char* up : {"Mars", "Vega", "Arcturus"}) {
    const ListedObject* o = named(list, up);
    ASSERT_NE(o, nullptr) << up;
    EXPECT_EQ(o->drawn, 1) << up;
  }
  EXPECT_EQ(named(list, "Jupiter")->drawn, 0);
  EXPECT_LT(named(list, "Jupiter")->altitude, 0);
  EXPECT_NE(named(list, "-"), nullptr);  // the unnamed stars
}

int countColour(const QImage& image, int x0, int y0, int x1, int y1, QColor colour) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += image.pixelColor(x, y) == colour;
  return n;
}

// The sky chart and the simulation drawn over the paint, as their commands
// draw them on the view.
TEST(RenderCommand, SkyChartAndSimulationPictures) {
  if (!fs::exists(canonDirectory() / "mcp00001p03000.prn")) {
    GTEST_SKIP() << "no generated canon in " << canonDirectory();
  }
  testing::ScratchDir scratch;
  const fs::path sky = scratch.path() / "sky.png", sim = scratch.path() / "sim.png";
  const std::string site = " 2025 3 --site -74.006 40.713 10";
  CliRun r = runTarvo(canonDirectory(), "render --display sky --out '" + sky.string() + "'" + site);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const QImage chart(QString::fromStdString(sky.string()));
  ASSERT_EQ(chart.width(), 692);
  // The Moon's yellow dot where the list puts it: 2 px per degree from the
  // zenith at (430, 200), south down, west right.
  const auto list = parseList(runTarvo(canonDirectory(), "sky" + site).out);
  ASSERT_FALSE(list.empty());
  const double a = (list[0].azimuthFromNorth - 180) * M_PI / 180, d = 2 * (90 - list[0].altitude);
  const int mx = static_cast<int>(430 + std::sin(a) * d), my = static_cast<int>(200 + std::cos(a) * d);
  EXPECT_GT(countColour(chart, mx - 4, my - 4, mx + 4, my + 4, QColor(255, 255, 0)), 40);
  EXPECT_EQ(chart.pixelColor(6, 100), QColor(170, 68, 0));  // the text block's frame

  r = runTarvo(canonDirectory(), "render --display sim --out '" + sim.string() + "'" + site);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const QImage shadow(QString::fromStdString(sim.string()));
  EXPECT_EQ(shadow.pixelColor(5, 100), QColor(170, 68, 0));  // the panel's frame
  EXPECT_GT(countColour(shadow, 225, 0, 691, 452, QColor(102, 153, 255)), 500);  // umbra
  EXPECT_GT(countColour(shadow, 225, 0, 691, 452, QColor(255, 255, 0)), 50);     // P1, P4

  r = runTarvo(canonDirectory(), "render --display stars --out '" + sim.string() + "'");
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(r.err.find("map|local|sky|sim"), std::string::npos) << r.err;
}

TEST(SkyCommand, UsageErrors) {
  const fs::path dir = canonDirectory();
  for (const char* args : {"sky 2025 3", "sky 2025 --site 0 0 0", "sky 2025 3 --site 0 0",
                           "sky 2025 3 --site 0 0 0 --city Tokyo", "sky 2025 3 --bogus 1"}) {
    const CliRun r = runTarvo(dir, args);
    EXPECT_EQ(r.exitCode, 64) << args;
    EXPECT_NE(r.err.find("usage"), std::string::npos) << args;
  }
}

}  // namespace
}  // namespace tarvo
