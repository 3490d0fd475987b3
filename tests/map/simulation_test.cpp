// The shadow-plane simulation: its steps by eclipse type, and the final
// picture probed at the Moon's places along a synthetic path.
#include "map/simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/drawing_surface.h"

namespace tarvo {
namespace {

constexpr int kCentreX = 458, kCentreY = 226;
constexpr double kMoonSpeedArcsecPerHour = 2000;  // 50 px per hour on the picture
constexpr double kPathNorthArcsec = 400;          // 10 px above the axis

// A Moon of radius 600″ (15 px) crossing a penumbra of 4700″ and an umbra of
// 2700″ eastwards, with contacts one hour apart about greatest eclipse.
SimulationInputs syntheticEclipse(int type, double horizonCrossHours = 10000) {
  SimulationInputs in;
  in.record.x1 = kMoonSpeedArcsecPerHour;
  in.record.y0 = kPathNorthArcsec;
  in.record.lp0 = 5300;
  in.record.lu0 = 3300;
  in.record.lt0 = 2100;
  in.eclipseType = type;
  in.epochHour = 6;
  in.greatestOffsetHours = 0;
  // P1, P4, then U1, U4, U2, U3.
  in.contacts = {-3, 3, -2, 2, -1, 1, true};
  in.greatestDeltaTSeconds = 69;
  in.horizonCrossHours = horizonCrossHours;
  in.centreX = kCentreX;
  in.centreY = kCentreY;
  return in;
}

int countInBox(const DrawingSurface& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == c;
  return n;
}

// Hatch pixels of a colour near the Moon's centre at t.
int moonHatchAt(const DrawingSurface& s, double t, int colour) {
  const int x = kCentreX - static_cast<int>(t * 50), y = kCentreY - 10;
  return countInBox(s, x - 6, y - 6, x + 6, y + 6, paletteColour(colour));
}

TEST(SimulationGeometry, ShadowPlaneScaleAndDirections) {
  const ShadowPlanePixel east = shadowPlanePixel(kCentreX, kCentreY, 2000, 400);
  EXPECT_EQ(east.x, kCentreX - 50);  // x is drawn to the left
  EXPECT_EQ(east.y, kCentreY - 10);  // y is drawn up
  const ShadowPlanePixel west = shadowPlanePixel(kCentreX, kCentreY, -1999, -399);
  EXPECT_EQ(west.x, kCentreX + 49);  // 49.975 truncated
  EXPECT_EQ(west.y, kCentreY + 9);
  EXPECT_EQ(shadowPlaneRadiusPixels(600), 15);
  EXPECT_EQ(shadowPlaneRadiusPixels(639.9), 15);
}

struct StepCase {
  int type;
  double horizonCrossHours;
  std::vector<std::pair<double, int>> moons;  // time, colour, in drawing order
  bool paced;
};

TEST(SimulationSteps, ContactsByTypeInOrderWithTheirPauses) {
  const std::vector<StepCase> cases = {
      {3, 10000, {{-3, 14}, {0, 8}, {3, 14}}, true},
      {2, 10000, {{-3, 14}, {-2, 10}, {0, 8}, {2, 10}, {3, 14}}, true},
      {1, 1000, {{-3, 14}, {-2, 10}, {-1, 7}, {0, 8}, {1, 7}, {2, 10}, {3, 14}}, true},
      {1, 2.5, {{-3, 14}, {-2, 10}, {-1, 7}, {0, 8}, {1, 7}, {2, 10}, {3, 14}, {2.5, 2}}, false},
      {0, 10000, {{-3, 14}, {0, 8}, {3, 14}}, true},  // a blank type code: penumbral steps only
  };
  for (const auto& c : cases) {
    const auto steps = simulationSteps(syntheticEclipse(c.type, c.horizonCrossHours));
    ASSERT_EQ(steps.size(), c.moons.size() + 2) << c.type;
    EXPECT_EQ(steps[0].kind, SimulationStepKind::Shadow);
    EXPECT_TRUE(steps[0].pauseAfter) << "the shadow is always followed by a pause";
    std::vector<std::pair<double, int>> moons;
    std::size_t clearAt = 0;
    for (std::size_t i = 1; i < steps.size(); ++i) {
      if (steps[i].kind == SimulationStepKind::ClearLabel) {
        clearAt = i;
        EXPECT_FALSE(steps[i].pauseAfter);
        continue;
      }
      moons.emplace_back(steps[i].tHours, steps[i].colour);
      const bool horizonStep = steps[i].colour == 2;
      EXPECT_EQ(steps[i].pauseAfter, c.paced && !horizonStep) << c.type << " step " << i;
    }
    EXPECT_EQ(moons, c.moons) << c.type;
    // The label is cleared after the last contact, before the moonrise step.
    EXPECT_EQ(clearAt, c.horizonCrossHours < 100 ? steps.size() - 2 : steps.size() - 1);
  }
}

TEST(SimulationPicture, DiscsByTypeAlongThePath) {
  const std::vector<std::pair<double, int>> allMoons = {{-3, 14}, {-2, 10}, {-1, 7}, {0, 8},
                                                        {1, 7},   {2, 10},  {3, 14}};
  struct Case {
    int type;
    double horizonCrossHours;
    int discs;
  };
  for (const Case& c : std::vector<Case>{{3, 10000, 3}, {2, 10000, 5}, {1, 10000, 7}, {1, 2.5, 8}}) {
    DrawingSurface s(692, 453);
    s.clear(colorTable[0]);
    drawSimulation(s, syntheticEclipse(c.type, c.horizonCrossHours));
    int discs = 0;
    for (const auto& [t, colour] : allMoons) discs += moonHatchAt(s, t, colour) > 0;
    discs += moonHatchAt(s, 2.5, 2) > 0;
    EXPECT_EQ(discs, c.discs) << c.type;
    // Penumbra brown below the path, umbra light blue between, both hatched.
    EXPECT_GT(countInBox(s, kCentreX - 8, kCentreY + 90, kCentreX + 8, kCentreY + 106,
                         colorTable[6]), 4);
    EXPECT_GT(countInBox(s, kCentreX - 8, kCentreY + 40, kCentreX + 8, kCentreY + 56,
                         colorTable[9]), 4);
    EXPECT_EQ(countInBox(s, kCentreX - 8, kCentreY + 40, kCentreX + 8, kCentreY + 56,
                         colorTable[6]), 0) << "the umbra's hatch replaces the penumbra's";
    // The penumbra's edge: 4700″ is 117 px, the box's bottom row excluded.
    EXPECT_EQ(s.pixel(kCentreX, kCentreY + 116), colorTable[6]);
    EXPECT_EQ(s.pixel(kCentreX, kCentreY + 117), colorTable[0]);
  }
}

DrawingSurface labelOnly(std::string_view text) {
  DrawingSurface s(692, 453);
  s.clear(colorTable[0]);
  s.setTextColour(colorTable[15]);
  drawText(s, 400, 20, text);
  return s;
}

bool sameLabelBox(const DrawingSurface& a, const DrawingSurface& b) {
  for (int y = 20; y < 40; ++y)
    for (int x = 400; x < 450; ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

TEST(SimulationLabel, TimeIsUtHoursAndMinutesAndTheBoxIsCleared) {
  // t = 0.5 h from epoch hour 6 with ΔT 69 s: 6:28:51 UT.
  DrawingSurface s(692, 453);
  s.clear(colorTable[0]);
  s.setTextColour(colorTable[15]);
  fillBox(s, 380, 10, 470, 50, 13);  // something under the box
  drawSimulationTime(s, 0.5, 6, 69);
  EXPECT_TRUE(sameLabelBox(s, labelOnly("  6:28 ")));
  EXPECT_EQ(s.pixel(399, 25), colorTable[13]);  // only the box is cleared
  drawSimulationTime(s, -23.9, 6, 69);          // wraps to the previous day
  EXPECT_GT(countInBox(s, 400, 20, 449, 39, colorTable[15]), 0);
  drawSimulationTime(s, 100, 6, 69);
  EXPECT_EQ(countInBox(s, 400, 20, 449, 39, colorTable[0]), 50 * 20);
  drawSimulationTime(s, 24, 6, 69);  // outside −24..24: no label
  EXPECT_EQ(countInBox(s, 400, 20, 449, 39, colorTable[0]), 50 * 20);

  // The last frame: no time left over, or the moonrise step's own time
  // (2.5 h: 8:28 UT).
  DrawingSurface paced(692, 453);
  paced.clear(colorTable[0]);
  drawSimulation(paced, syntheticEclipse(1));
  EXPECT_EQ(countInBox(paced, 400, 20, 449, 39, colorTable[0]), 50 * 20);
  DrawingSurface rising(692, 453);
  rising.clear(colorTable[0]);
  drawSimulation(rising, syntheticEclipse(1, 2.5));
  EXPECT_TRUE(sameLabelBox(rising, labelOnly("  8:28 ")));
}

}  // namespace
}  // namespace tarvo
