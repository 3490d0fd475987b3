// The shadow-plane simulation: its steps by eclipse type, and the final
// picture probed at the Moon's places along a synthetic path.
#include "map/simulation.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "surface/drawing_surface.h"
#include "tests/pixel_probe.h"

namespace tarvo {
namespace {

using testing::countInBox;
constexpr int kCentreX = 458, kCentreY = 226;

// A Moon of radius 600″ (15 px) crossing a penumbra of 4700″ and an umbra of
// 2700″ eastwards at 2000″ (50 px) an hour, 400″ (10 px) north of the axis,
// with contacts one hour apart about greatest eclipse at t = 0.
SimulationInputs syntheticEclipse(int type, std::optional<double> horizonCrossHours = std::nullopt) {
  SimulationInputs in;
  EclipseRecord& r = in.eclipse.record;
  r.x1 = 2000;
  r.y0 = 400;
  r.lp0 = 5300;
  r.lu0 = 3300;
  r.lt0 = 2100;
  r.eclipseType = type;
  r.epochHour = 6;
  in.eclipse.contacts = {-3, 3, -2, 2, -1, 1, true};  // P1, P4, U1, U4, U2, U3
  in.eclipse.deltaTSeconds = 69;
  in.horizonCrossHours = horizonCrossHours;
  in.centreX = kCentreX;
  in.centreY = kCentreY;
  return in;
}

// Hatch pixels of a palette colour around the Moon's centre at t.
int moonHatchAt(const DrawingSurface& s, double t, int colour) {
  const ShadowPlanePixel p = shadowPlanePixel(kCentreX, kCentreY, 2000 * t, 400);
  return countInBox(s, p.x - 6, p.y - 6, p.x + 6, p.y + 6, paletteColour(colour));
}

TEST(Simulation, ShadowPlaneScale) {
  EXPECT_EQ(shadowPlanePixel(kCentreX, kCentreY, 2000, 400).x, kCentreX - 50);  // x to the left
  EXPECT_EQ(shadowPlanePixel(kCentreX, kCentreY, 2000, 400).y, kCentreY - 10);  // y up
  EXPECT_EQ(shadowPlanePixel(kCentreX, kCentreY, -1999, -399).x, kCentreX + 49);  // truncated
  EXPECT_EQ(shadowPlaneRadiusPixels(639.9), 15);
}

// Steps, pauses and the final picture by type: penumbral 3 discs, partial 5,
// total 7, and a green eighth at a moonrise or moonset (then no pauses).
TEST(Simulation, DiscsByTypeInOrderWithTheirPauses) {
  const std::vector<std::pair<double, int>> all = {{-3, 14}, {-2, 10}, {-1, 7}, {0, 8},
                                                   {1, 7},   {2, 10},  {3, 14}, {2.5, 2}};
  struct Case {
    int type;
    std::optional<double> horizonCrossHours;  // the Moon rises or sets then
    std::vector<int> moons;  // indexes into all, in drawing order
  };
  for (const Case& c : std::vector<Case>{{3, std::nullopt, {0, 3, 6}},
                                         {2, std::nullopt, {0, 1, 3, 5, 6}},
                                         {1, std::nullopt, {0, 1, 2, 3, 4, 5, 6}},
                                         {1, 2.5, {0, 1, 2, 3, 4, 5, 6, 7}},
                                         {0, std::nullopt, {0, 3, 6}}}) {  // blank type: penumbral steps
    const SimulationInputs in = syntheticEclipse(c.type, c.horizonCrossHours);
    const auto steps = simulationSteps(in);
    ASSERT_EQ(steps.size(), c.moons.size() + 2) << c.type;
    EXPECT_EQ(steps[0].kind, SimulationStepKind::Shadow);
    EXPECT_TRUE(steps[0].pauseAfter);
    const bool paced = !c.horizonCrossHours;
    for (std::size_t i = 0, step = 1; i < c.moons.size(); ++i, ++step) {
      if (i == 7) {  // the label is cleared before the moonset step
        EXPECT_EQ(steps[step].kind, SimulationStepKind::ClearLabel);
        ++step;
      }
      EXPECT_EQ(steps[step].tHours, all[c.moons[i]].first) << c.type << " " << i;
      EXPECT_EQ(static_cast<int>(steps[step].colour), all[c.moons[i]].second) << c.type << " " << i;
      EXPECT_EQ(steps[step].pauseAfter, paced && i < 7) << c.type << " " << i;
    }
    EXPECT_EQ(steps.back().kind == SimulationStepKind::ClearLabel, c.moons.size() < 8);

    DrawingSurface s(692, 453);
    drawSimulation(s, in);
    int discs = 0;
    for (const auto& [t, colour] : all) discs += moonHatchAt(s, t, colour) > 0;
    EXPECT_EQ(discs, static_cast<int>(c.moons.size())) << c.type;
    if (c.type != 1 || c.horizonCrossHours) continue;
    // The umbra's hatch replaces the penumbra's; the penumbra ends at 117 px
    // (its box's bottom row excluded).
    EXPECT_GT(countInBox(s, kCentreX - 8, kCentreY + 90, kCentreX + 8, kCentreY + 106, colorTable[6]), 4);
    EXPECT_GT(countInBox(s, kCentreX - 8, kCentreY + 40, kCentreX + 8, kCentreY + 56, colorTable[9]), 4);
    EXPECT_EQ(countInBox(s, kCentreX - 8, kCentreY + 40, kCentreX + 8, kCentreY + 56, colorTable[6]), 0);
    EXPECT_EQ(s.pixel(kCentreX, kCentreY + 116), colorTable[6]);
    EXPECT_EQ(s.pixel(kCentreX, kCentreY + 117), colorTable[0]);
  }
  SimulationInputs missing = syntheticEclipse(1);  // internal contacts not found
  missing.eclipse.contacts.u2.reset();
  missing.eclipse.contacts.u3.reset();
  EXPECT_EQ(simulationSteps(missing).size(), 5u + 2u);
}

// The label box (400, 20)–(450, 40) as a label alone on black draws it.
bool showsLabel(const DrawingSurface& s, const char* text) {
  DrawingSurface alone(692, 453);
  alone.clear(colorTable[0]);  // also the background colour of opaque text
  alone.setTextColour(colorTable[15]);
  drawText(alone, 400, 20, text);
  for (int y = 20; y < 40; ++y)
    for (int x = 400; x < 450; ++x)
      if (s.pixel(x, y) != alone.pixel(x, y)) return false;
  return true;
}

TEST(Simulation, TimeLabelIsUtAndItsBoxIsCleared) {
  DrawingSurface s(692, 453);
  s.clear(colorTable[0]);
  s.setTextColour(colorTable[15]);
  fillBox(s, 380, 10, 470, 50, PaletteIndex::Pink);
  drawSimulationTime(s, 0.5, 6, 69);  // 6.5 h − 69 s = 6:28:51 UT
  EXPECT_TRUE(showsLabel(s, "  6:28 "));
  EXPECT_EQ(s.pixel(399, 25), colorTable[13]);  // only the box is cleared
  for (double t : {100.0, 24.0}) {              // outside −24..24: cleared, no label
    drawSimulationTime(s, t, 6, 69);
    EXPECT_TRUE(showsLabel(s, "")) << t;
  }
  // The last frame: no time left over, or the moonrise step's own (8:28 UT).
  DrawingSurface paced(692, 453), rising(692, 453);
  drawSimulation(paced, syntheticEclipse(1));
  EXPECT_TRUE(showsLabel(paced, ""));
  drawSimulation(rising, syntheticEclipse(1, 2.5));
  EXPECT_TRUE(showsLabel(rising, "  8:28 "));
}

}  // namespace
}  // namespace tarvo
