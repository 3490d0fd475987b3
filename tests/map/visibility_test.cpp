// The visibility zones drawn for synthetic eclipses, probed at known pixels.
#include "map/visibility.h"
#include "map/zone_legend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "map/projection.h"

namespace tarvo {
namespace {

constexpr Rgb kBlack = colorTable[0];
constexpr double kRpd = kMapRadiansPerDegree;

// Contact times (hours from greatest eclipse) of a central total eclipse, and
// a sub-lunar point that moves 15° west and 0.2° south per hour from (λG, φG).
VisibilityInputs syntheticEclipse(int type, double lonG, double latG) {
  const auto at = [&](double t) { return GeoPoint{lonG - 15 * t, latG - 0.2 * t}; };
  return {type, at(0), at(-2.6), at(-1.7), at(-0.6), at(0.6), at(1.7), at(2.6)};
}

struct Drawn {
  MapFrame frame;
  DrawingSurface surface;
};

Drawn drawZones(const VisibilityInputs& in, int width = 1280, int height = 800) {
  Drawn d{layoutMap(0, 0, width, height), DrawingSurface(width, height)};
  centreMapOn(d.frame, splitGreatestLongitude(in.greatest.longitudeDeg));
  d.surface.clear(kBlack);
  MapPen pen;
  drawVisibilityZones(d.surface, d.frame, pen, in);
  return d;
}

int pixelX(const MapFrame& f, double offsetDeg) {
  return static_cast<int>(std::trunc(f.centreX + f.scale * offsetDeg * kRpd));
}
int pixelY(const MapFrame& f, double latDeg) {
  return static_cast<int>(std::trunc(f.centreY - mercatorY(f, latDeg * kRpd)));
}

// The surface's diagonal-cross pattern, aligned to the origin.
bool onHatch(int x, int y) { return (x - y) % 8 == 0 || (x + y) % 8 == 7; }

// Whether the 9 × 9 box around (x, y) holds exactly the hatch of one colour.
::testing::AssertionResult hatchedWith(const DrawingSurface& s, int x, int y, Rgb colour) {
  for (int py = y - 4; py <= y + 4; ++py)
    for (int px = x - 4; px <= x + 4; ++px) {
      const Rgb want = onHatch(px, py) ? colour : kBlack;
      if (s.pixel(px, py) != want)
        return ::testing::AssertionFailure() << "pixel (" << px << ", " << py << ") is "
                                             << std::hex << s.pixel(px, py);
    }
  return ::testing::AssertionSuccess();
}

TEST(VisibilityZones, HatchColoursFollowTheEclipseType) {
  // Palette: 6 brown, 5 magenta, 4 red, 3 cyan, 2 green, 1 blue.
  struct Case {
    int type;
    std::set<int> zones;
  } cases[] = {{3, {6, 1}}, {2, {6, 5, 2, 1}}, {1, {6, 5, 4, 3, 2, 1}}};
  for (const auto& [lonG, latG] : {std::pair{-30.0, -20.0}, {170.0, 25.0}, {95.0, 3.0}}) {
    for (const Case& c : cases) {
      const Drawn d = drawZones(syntheticEclipse(c.type, lonG, latG));
      const MapFrame& f = d.frame;
      std::map<int, int> counts;  // palette index → pixels inside the map
      for (int y = f.top + 4; y < std::min(f.bottom - 4, d.surface.height()); ++y)
        for (int x = f.left + 4; x <= f.right - 4; ++x)
          for (int k = 1; k <= 6; ++k) counts[k] += d.surface.pixel(x, y) == colorTable[k];
      for (int k = 1; k <= 6; ++k) {
        if (c.zones.count(k))
          EXPECT_GT(counts[k], 2000) << "type " << c.type << " colour " << k << " at " << lonG;
        else
          EXPECT_EQ(counts[k], 0) << "type " << c.type << " colour " << k << " at " << lonG;
      }
    }
  }
}

TEST(VisibilityZones, SeedsMarkerAndUnhatchedSubLunarRegion) {
  for (int type : {1, 2, 3}) {
    for (const auto& [lonG, latG] : {std::pair{-30.0, -20.0}, {170.0, 25.0}, {95.0, 3.0}}) {
      const Drawn d = drawZones(syntheticEclipse(type, lonG, latG));
      const MapFrame& f = d.frame;
      const DrawingSurface& s = d.surface;
      // The zone-6 seed on the equator 170° west of the centre: blue hatch.
      EXPECT_TRUE(hatchedWith(s, pixelX(f, -170), pixelY(f, 0), colorTable[1]))
          << type << " " << lonG;
      // The yellow marker, radius 3, centred on the centre column at φG.
      const int my = pixelY(f, latG);
      int minX = 1 << 20, maxX = -1;
      for (int x = f.centreX - 10; x <= f.centreX + 10; ++x)
        if (s.pixel(x, my) == colorTable[14]) minX = std::min(minX, x), maxX = std::max(maxX, x);
      // Its box is centred on the column; the right edge is excluded.
      EXPECT_EQ(minX, f.centreX - 3) << type << " " << lonG;
      EXPECT_EQ(maxX, f.centreX + 2) << type << " " << lonG;
      // Within 5° of the sub-lunar point the Moon is up at every contact:
      // nothing but the marker.
      const int r5 = static_cast<int>(f.scale * 5 * kRpd);
      for (int y = my - r5; y <= my + r5; ++y)
        for (int x = f.centreX - r5; x <= f.centreX + r5; ++x) {
          const Rgb c = s.pixel(x, y);
          ASSERT_TRUE(c == kBlack || c == colorTable[14]) << x << " " << y << " type " << type;
        }
    }
  }
}

TEST(VisibilityZones, EdgeStripsInsideTheFramesAreNeverHatched) {
  // A wide map, so that the 1° strip is several pixels wide.
  for (int type : {1, 3}) {
    for (const auto& [lonG, latG] : {std::pair{-30.0, -20.0}, {95.0, 3.0}}) {
      const Drawn d = drawZones(syntheticEclipse(type, lonG, latG), 3000, 2200);
      const MapFrame& f = d.frame;
      const int outerLeft = pixelX(f, -180) + 2, innerLeft = pixelX(f, -179) - 2;
      const int innerRight = pixelX(f, 179) + 2, outerRight = pixelX(f, 180) - 2;
      ASSERT_LT(outerLeft, innerLeft);
      int hatched = 0;
      for (int y = pixelY(f, 50); y <= pixelY(f, -50); ++y) {
        for (int x = outerLeft; x < innerLeft; ++x) hatched += d.surface.pixel(x, y) != kBlack;
        for (int x = innerRight + 1; x <= outerRight; ++x) hatched += d.surface.pixel(x, y) != kBlack;
      }
      EXPECT_EQ(hatched, 0) << type << " " << lonG;
      // Just inside the inset frame the map is hatched.
      EXPECT_TRUE(hatchedWith(d.surface, pixelX(f, -177), pixelY(f, 0), colorTable[1]));
      EXPECT_EQ(d.surface.pixel(pixelX(f, -180), pixelY(f, 0)), colorTable[10]);  // pale green
    }
  }
}

TEST(VisibilityZones, SecondSeedNearTheEquatorAndClosingLine) {
  // P1 and P4 within 11.5° of the equator: the east part of the night side,
  // cut off from the west part by arcs running along 80°, is seeded too.
  const Drawn near = drawZones(syntheticEclipse(1, 40, 3));
  EXPECT_TRUE(hatchedWith(near.surface, pixelX(near.frame, 170), pixelY(near.frame, 0),
                          colorTable[1]));
  // With the Moon at 20 S the far-side horizon points of P4 and P1 lie near
  // 70 N on both meridians: a 3-pixel blue line joins them.
  const Drawn south = drawZones(syntheticEclipse(3, -30, -20));
  const MapFrame& f = south.frame;
  int run = 0, longest = 0;
  for (int y = pixelY(f, 72); y <= pixelY(f, 68); ++y) {
    run = south.surface.pixel(f.centreX, y) == colorTable[1] ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_EQ(longest, 3);
}

// A client too short for the map of its width (wide) fits the map to its
// height; one tall enough (tall) keeps the layout of the width. Either way the
// whole map is inside and every zone of a total eclipse is filled.
TEST(VisibilityZones, WideAndTallClientsShowTheWholeMapWithEveryZone) {
  for (auto [w, h] : {std::pair{1390, 540}, {1280, 800}, {3000, 300}, {692, 1400}, {400, 1000}}) {
    const Drawn d = drawZones(syntheticEclipse(1, 95, 3), w, h);
    const MapFrame& f = d.frame;
    EXPECT_GE(f.top, 0) << w << "x" << h;
    EXPECT_LT(f.bottom, h) << w << "x" << h;
    EXPECT_GE(f.left, kInfoPanelWidth) << w << "x" << h;
    EXPECT_LT(f.right, w) << w << "x" << h;
    const MapFrame byWidth = layoutMap(0, 0, w, 100000);
    if (byWidth.bottom < h) {
      EXPECT_EQ(f.scale, byWidth.scale) << w << "x" << h;
    }
    std::map<int, int> counts;  // palette index → pixels inside the map
    for (int y = f.top + 4; y <= f.bottom - 4; ++y)
      for (int x = f.left + 4; x <= f.right - 4; ++x)
        for (int k = 1; k <= 6; ++k) counts[k] += d.surface.pixel(x, y) == colorTable[k];
    // Each zone covers a few percent of the map at least.
    const int least = (f.right - f.left) * (f.bottom - f.top) / 200;
    for (int k = 1; k <= 6; ++k) EXPECT_GT(counts[k], least) << "colour " << k << " in " << w << "x" << h;
  }
}

TEST(VisibilityZones, TinyClientAreasDrawWithoutFailing) {
  // Without a map (client narrower than the panel and margins) nothing is
  // drawn, in particular no fill over the panel's strip.
  for (auto [w, h] : {std::pair{1, 1}, {100, 50}, {231, 10}, {300, 20}}) {
    const Drawn d = drawZones(syntheticEclipse(1, 12, -5), w, h);
    int drawn = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) drawn += d.surface.pixel(x, y) != kBlack;
    EXPECT_EQ(drawn > 0, w > 231) << w << "x" << h;
  }
  // Unusable contact points (NaN) leave their arcs undrawn without failing;
  // the marker and the frame are still drawn.
  VisibilityInputs broken = syntheticEclipse(1, 12, -5);
  broken.p1 = broken.u2 = GeoPoint{NAN, NAN};
  const Drawn d = drawZones(broken);
  EXPECT_EQ(d.surface.pixel(d.frame.centreX, pixelY(d.frame, -5)), colorTable[14]);
  EXPECT_EQ(d.surface.pixel(pixelX(d.frame, 180), d.frame.centreY), colorTable[10]);
}

}  // namespace
}  // namespace tarvo

// The help's legend: each row's swatch is hatched in its zone's colour only,
// in the map's order.
TEST(ZoneLegend, EachSwatchIsHatchedInItsZoneColourOnly) {
  tarvo::DrawingSurface s(tarvo::kZoneLegendWidth, tarvo::kZoneLegendHeight);
  tarvo::drawZoneLegend(s);
  const int zoneColours[] = {6, 5, 4, 3, 2, 1};  // brown, magenta, red, cyan, green, blue
  for (int row = 0; row < 6; ++row) {
    int own = 0, other = 0;
    for (int y = 4 + row * 22 + 1; y < 4 + row * 22 + 15; ++y)
      for (int x = 9; x < 47; ++x) {
        const tarvo::Rgb c = s.pixel(x, y);
        if (c == tarvo::paletteColour(zoneColours[row])) ++own;
        else if (c != tarvo::paletteColour(0)) ++other;
      }
    EXPECT_GT(own, 40) << "row " << row;
    EXPECT_EQ(other, 0) << "row " << row;
  }
}
