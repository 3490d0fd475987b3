// The Simulation command after a paint of the total eclipse of 2025 March 14
// (generated canon): the panel, the shadow and the Moon at each contact, the
// timer-driven steps and the headless final frame.
#include "session/simulation_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "circumstances/geometry.h"
#include "core/drawing_surface.h"
#include "session/paint.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

fs::path canonDirectory() {
  if (const char* d = std::getenv("TARVO_CANON_DIR")) return d;
  return TARVO_RUNDATA_DIR;
}

int countInBox(const DrawingSurface& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == c;
  return n;
}

// Hatch pixels of a palette colour around the Moon's centre at t.
int moonHatchAt(const DrawingSurface& s, const SessionState& state, double t, int colour) {
  const EclipseElements e = elementsAt(state.current, t);
  const ShadowPlanePixel p = shadowPlanePixel(state.mapCentreX, state.mapCentreY, e.x, e.y);
  return countInBox(s, p.x - 3, p.y - 3, p.x + 3, p.y + 3, paletteColour(colour));
}

class SimulationCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(canonDirectory() / "mcp00001p03000.prn") ||
        !fs::exists(canonDirectory() / "location.new"))
      GTEST_SKIP() << "no generated canon and city list in " << canonDirectory();
  }

  // The view after a paint of the display kind at the site.
  SessionState painted(int displayKind, double longitudeDeg, double latitudeDeg) {
    SessionState s;
    s.year = 2025;
    s.month = 3;
    s.pendingAction = kLandAtCursor;
    s.displayKind = displayKind;
    PaintHooks hooks;
    hooks.dataDirectory = canonDirectory();
    CanonReader reader(canonDirectory());
    DrawingSurface view(692, 453);
    EXPECT_EQ(paintView(s, reader, view, hooks).outcome, LandingOutcome::Shown);
    s.siteLongitude = longitudeDeg;
    s.siteLatitude = latitudeDeg;
    s.displaySiteIndex = 99;
    if (displayKind == 2) paintView(s, reader, view, hooks);
    return s;
  }
};

TEST_F(SimulationCommand, TotalEclipseShowsSevenDiscsAfterThePanel) {
  SessionState s = painted(0, 0, 0);
  ASSERT_EQ(s.eclipseType, 1);
  ASSERT_TRUE(s.contacts.u2 && s.contacts.u3);
  DrawingSurface surface(692, 453);
  drawSimulationFinal(s, surface);
  EXPECT_EQ(surface.pixel(5, 100), colorTable[6]);  // the panel's frame
  const ContactTimes& c = s.contacts;
  const std::vector<std::pair<double, int>> moons = {
      {c.p1, 14}, {*c.u1, 10}, {*c.u2, 7}, {s.greatestOffsetHours, 8},
      {*c.u3, 7}, {*c.u4, 10}, {c.p4, 14}};
  int discs = 0;
  for (const auto& [t, colour] : moons) discs += moonHatchAt(surface, s, t, colour) > 0;
  EXPECT_EQ(discs, 7);
  EXPECT_EQ(countInBox(surface, 225, 0, 691, 452, colorTable[2]), 0);  // no moonset disc
  // No time is left in the label box.
  EXPECT_EQ(countInBox(surface, 400, 20, 449, 39, colorTable[15]), 0);
}

// Seen from Paris the Moon sets during the eclipse: after the local report
// the simulation adds a green Moon at the moonset, with its time, unpaced.
TEST_F(SimulationCommand, MoonsetAfterTheLocalReportAddsAGreenDisc) {
  SessionState s = painted(2, 2.35, 48.85);
  ASSERT_LT(s.horizonCrossHours, 100);
  DrawingSurface surface(692, 453);
  SimulationRun run = startSimulation(s, surface);
  EXPECT_TRUE(simulationPauses(run));  // the shadow stays alone 500 ms
  int steps = 1;
  while (simulationStep(run, surface)) {
    EXPECT_FALSE(simulationPauses(run)) << "a moonset time draws the steps unpaced";
    ++steps;
  }
  EXPECT_EQ(steps, 10);  // shadow, seven Moons, the label cleared, the moonset
  EXPECT_TRUE(simulationFinished(run));
  EXPECT_GT(moonHatchAt(surface, s, s.horizonCrossHours, 2), 0);
  EXPECT_GT(countInBox(surface, 400, 20, 449, 39, colorTable[15]), 0);
}

// Stepping with pauses ends on the same picture as the headless final frame.
TEST_F(SimulationCommand, StepsEndOnTheFinalFrame) {
  SessionState s = painted(0, 0, 0);
  DrawingSurface stepped(692, 453), final(692, 453);
  SimulationRun run = startSimulation(s, stepped);
  std::vector<bool> pauses = {simulationPauses(run)};
  while (simulationStep(run, stepped)) pauses.push_back(simulationPauses(run));
  EXPECT_FALSE(simulationStep(run, stepped));
  EXPECT_EQ(pauses, (std::vector<bool>{true, true, true, true, true, true, true, true, false}));
  drawSimulationFinal(s, final);
  int differing = 0;
  for (int y = 0; y < 453; ++y)
    for (int x = 0; x < 692; ++x) differing += stepped.pixel(x, y) != final.pixel(x, y);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace tarvo
