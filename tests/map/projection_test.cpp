// Map layout, projection round trip, pen lifting, grid and the pick rules.
#include "map/projection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "base/angles.h"
#include "map/world_map.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

constexpr Rgb kBlack = colorTable[0];
constexpr Rgb kRed = colorTable[4];

MapFrame centredFrame(int width, int height, double centralMeridianDeg) {
  MapFrame f = layoutMap(0, 0, width, height);
  centreMapOn(f, splitGreatestLongitude(centralMeridianDeg));
  return f;
}

// The pixel column of an offset in degrees east of the map centre.
int columnOf(const MapFrame& f, double offsetDeg) {
  return static_cast<int>(std::trunc(f.centreX + f.scale * offsetDeg * kMapRadiansPerDegree));
}

TEST(MapLayout, RectangleFromTheWidthAndCentreFromTheGreatestEclipse) {
  // Worked out by hand (clients tall enough for the map): R = (w − 230)/2π, centre 225 + half the width,
  // half-height trunc(2.4362460538 R), half-width trunc(πR). At 1920 πR falls
  // just below 845, so the map is one pixel narrower on each side.
  struct Case {
    int width;
    std::array<int, 6> ltrbxy;
    double scale;
  } cases[] = {{1280, {225, 4, 1275, 820, 750, 412}, 167.1126902459},
               {692, {225, 4, 687, 364, 456, 184}, 73.5295837082},
               {1920, {226, 4, 1914, 1316, 1070, 660}, 268.9718538244}};
  for (const Case& c : cases) {
    const MapFrame f = layoutMap(0, 0, c.width, 1400);
    EXPECT_EQ((std::array{f.left, f.top, f.right, f.bottom, f.centreX, f.centreY}), c.ltrbxy);
    EXPECT_NEAR(f.scale, c.scale, testing::kLongChainRounding) << c.width;
  }
  // 1390 × 540 is too short for R = 184.6 (bottom 904): the half-height
  // (540 − 2 − 5)/2 = 266 gives R = 266.5/2.4362460538, half-width trunc(πR)
  // = 343 about the same centre column, the frame's last row 538.
  const MapFrame shortClient = layoutMap(0, 0, 1390, 540);
  EXPECT_EQ((std::array{shortClient.left, shortClient.top, shortClient.right, shortClient.bottom,
                        shortClient.centreX, shortClient.centreY}),
            (std::array{462, 4, 1148, 538, 805, 271}));
  EXPECT_NEAR(shortClient.scale, 109.3896076648, testing::kLongChainRounding);
  // Central meridian: the signed longitude reduced by fmod 360.
  struct Centre {
    double longitude, offset;
    bool negative;
  } centres[] = {{137.5, -137.5, false}, {-10.5, 10.5, true}, {370.25, -10.25, false},
                 {-725, 5, true}};
  for (const Centre& c : centres) {
    const MapFrame f = centredFrame(1280, 800, c.longitude);
    EXPECT_NEAR(f.longitudeOffsetDeg, c.offset, testing::kFewOperationsRounding) << c.longitude;
    EXPECT_EQ(f.centreLongitudeNegative, c.negative) << c.longitude;
  }
}

TEST(MapProjection, RoundTripThroughThePixelPickAndOffMapValues) {
  // One pixel is 1/R radians of longitude (0.34° at R = 167); the latitude
  // error is at most that times the Mercator stretch 1/cos φ.
  for (double centre : {0.0, 137.5, -100.25, 5.0}) {
    const MapFrame f = centredFrame(1280, 800, centre);
    const double pixelDeg = 1 / f.scale / kMapRadiansPerDegree;
    for (double lon = -170; lon <= 170; lon += 20) {  // none on an edge column
      for (double lat = -75; lat <= 75; lat += 15) {
        const MapOffset o = projectToMap(f, lon, lat);
        const MapPick p = mapPointFromPixel(f, f.centreX + o.x, f.centreY - o.y);
        ASSERT_TRUE(p.ok) << centre << " " << lon << " " << lat;
        EXPECT_NEAR(angleDiffDeg(p.longitudeDeg, lon), 0, testing::kWithinOnePixel * pixelDeg);
        EXPECT_NEAR(p.latitudeDeg, lat, testing::kWithinOnePixel * pixelDeg / std::cos(degToRad(lat)));
        // The pick stays within 180° of the central meridian.
        EXPECT_LE(std::fabs(p.longitudeDeg - centre), 180.0 + pixelDeg) << centre << " " << lon;
      }
    }
  }
  const MapFrame f = centredFrame(1280, 800, 170);
  EXPECT_EQ(projectToMap(f, -170, 0).x, projectToMap(f, 190, 0).x);  // 20° east, reduced once
  EXPECT_EQ(projectToMap(f, -170, 0).x, static_cast<int>(f.scale * 20 * kMapRadiansPerDegree));
  EXPECT_EQ(projectToMap(f, 0, 120).y, kFarOffMap);  // beyond the pole
  EXPECT_EQ(projectToMap(f, 0, NAN).y, kFarOffMap);
  EXPECT_LT(projectToMap(f, 0, -90).y, -f.centreY);
}

TEST(MapPick, EdgeColumnsRowsBeyondEightyAndTheReadout) {
  for (int width : {1280, 692, 1920}) {
    const MapFrame f = layoutMap(0, 0, width, 800);
    const int x = f.centreX, y = f.centreY;
    // Strictly inside the left and right edges; the top and bottom rows lie
    // beyond 80°, the rows inside them within it.
    EXPECT_FALSE(mapPointFromPixel(f, f.left, y).ok || mapPointFromPixel(f, f.right, y).ok);
    EXPECT_TRUE(mapPointFromPixel(f, f.left + 1, y).ok && mapPointFromPixel(f, f.right - 1, y).ok);
    EXPECT_FALSE(mapPointFromPixel(f, x, f.top).ok || mapPointFromPixel(f, x, f.bottom).ok);
    EXPECT_TRUE(mapPointFromPixel(f, x, f.top + 1).ok && mapPointFromPixel(f, x, f.bottom - 1).ok);
    EXPECT_GT(mapPointFromPixel(f, x, f.top + 1).latitudeDeg, 79.5) << width;
    EXPECT_EQ(mapPointFromPixel(f, x, f.top).latitudeDeg, 999);
  }
  struct Case {
    double in, out;
  } cases[] = {{190.5, -169.5}, {180, 180}, {180.5, -179.5}, {370, 10}, {-190, 170},
               {-180, -180}, {45, 45}, {540, 180}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(readoutLongitude(c.in), c.out) << c.in;

  const MapFrame f = layoutMap(0, 0, 1280, 830);  // tall enough for the map of its width
  const auto lines = mouseReadoutLines(f, {true, 190.5, -12.345});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Lon:-169.50");
  EXPECT_EQ(lines[1].text, "Lat: -12.35");  // the printf rounding of −12.345
  EXPECT_EQ((std::array{lines[0].x, lines[0].y, lines[1].x, lines[1].y}),
            (std::array{1275 - 85, 15, 1275 - 85, 30}));
  // Drawn white on black over whatever is there; nothing off the map.
  DrawingSurface s(1280, 800);
  s.clear(colorTable[1]);
  EXPECT_FALSE(drawMouseReadout(s, f, f.left, f.centreY));
  EXPECT_EQ(s.pixel(1275 - 85, 15), colorTable[1]);
  ASSERT_TRUE(drawMouseReadout(s, f, f.centreX + 100, f.centreY - 100));
  int white = 0;
  for (int y = 15; y < 42; ++y)
    for (int x = 1275 - 85; x < 1275 - 85 + 77; ++x) white += s.pixel(x, y) == colorTable[15];
  EXPECT_GT(white, 40);
  EXPECT_EQ(s.pixel(1275 - 85, 15), kBlack);
}

TEST(MapPen, LiftsAtEdgesJumpsAndRowsOutsideTheMap) {
  const MapFrame f = layoutMap(0, 0, 1280, 800);
  const int cx = f.centreX, cy = f.centreY;
  struct Probe {
    int x, y;
    Rgb colour;
  };
  struct Case {
    const char* what;
    bool longJumps;
    std::vector<std::array<double, 2>> points;  // map offsets, x east, y north
    std::vector<Probe> probes;                  // client pixels
  } cases[] = {
      {"a line, its last pixel left out", false, {{0, 0}, {50, 0}},
       {{cx, cy, kRed}, {cx + 49, cy, kRed}, {cx + 50, cy, kBlack}}},
      {"left of the map: a lone dot the next point joins", false,
       {{f.left - 40.0 - cx, 0}, {f.left - 20.0 - cx, 0}, {f.left + 20.0 - cx, 0}},
       {{f.left - 30, cy, kBlack}, {f.left - 20, cy, kRed}, {f.left, cy, kRed}}},
      {"above the map: not drawn, the next point a dot", false,
       {{0, 0}, {0, cy - f.top + 1.0}, {0, -100}},
       {{cx, cy - 50, kBlack}, {cx, cy + 50, kBlack}, {cx, cy + 100, kRed}}},
      {"201 pixels sideways: broken", false, {{-150, 0}, {51, 0}},
       {{cx, cy, kBlack}, {cx + 51, cy, kRed}}},
      {"200 pixels sideways: joined", false, {{-150, 0}, {50, 0}}, {{cx, cy, kRed}}},
      {"201 pixels with long jumps allowed: joined", true, {{-150, 0}, {51, 0}},
       {{cx, cy, kRed}, {cx + 50, cy, kRed}}},
      {"unusable offsets: nothing", false, {{NAN, 0}, {0, INFINITY}, {0, 10}},
       {{cx, cy - 10, kRed}}},
  };
  for (const Case& c : cases) {
    DrawingSurface s(1280, 800);
    MapPen pen{false, c.longJumps};
    for (const auto& p : c.points) plotMapPoint(s, f, pen, p[0], p[1], PaletteIndex::Red);
    for (const Probe& p : c.probes) EXPECT_EQ(s.pixel(p.x, p.y), p.colour) << c.what << " " << p.x;
  }
}

// Rows of the column x holding grid colours, as runs (top row, colour).
std::vector<std::pair<int, Rgb>> gridRuns(const DrawingSurface& s, int x) {
  std::vector<std::pair<int, Rgb>> runs;
  for (int y = 0; y < s.height(); ++y)
    if (s.pixel(x, y) != kBlack && s.pixel(x, y) != s.pixel(x, y - 1))
      runs.push_back({y, s.pixel(x, y)});
  return runs;
}

TEST(MapGrid, SeventeenParallelsAcrossTheWidthAndMeridiansEveryTenDegrees) {
  const Rgb grey = colorTable[8], lightBlue = colorTable[9];
  // At 1920 the double sum centreX + πR rounds up to one column beyond the
  // map; the parallels must still reach its last column.
  for (int width : {1280, 692, 1920}) {
    const MapFrame f = centredFrame(width, 2000, 137.5);
    DrawingSurface s(width + 40, 2000);
    MapPen pen;
    drawWorldMap(s, f, pen, true, {});
    // A column between meridians crosses the parallels only.
    const auto runs = gridRuns(s, columnOf(f, 5));
    ASSERT_EQ(runs.size(), 17u) << width;
    for (std::size_t i = 0; i < runs.size(); ++i)
      EXPECT_EQ(runs[i].second, i == 8 ? lightBlue : grey) << width << " " << i;
    // The short form of π/4 lies 2.6e-12 above π/4: the equator projects a
    // hair north of the centre row. 80°N and 80°S lie on the edge rows.
    const int equator = runs[8].first;
    EXPECT_EQ((std::array{runs[0].first, equator, runs[16].first}),
              (std::array{f.top, f.centreY - 1, f.bottom - 1}));
    // Each parallel spans the full width, from one pixel left of the map
    // when πR is not a whole number (1920), else from its left edge.
    const int westEnd = columnOf(f, -180);
    EXPECT_EQ(westEnd, width == 1920 ? f.left - 1 : f.left);
    EXPECT_EQ(s.pixel(westEnd, equator), lightBlue);
    EXPECT_EQ(s.pixel(westEnd - 1, equator), kBlack);
    EXPECT_EQ(s.pixel(f.right - 1, equator), lightBlue);
    EXPECT_EQ(s.pixel(f.right - 1, f.top), grey);
    // The prime meridian, light blue, 137.5° west of the centre; 140 E grey.
    EXPECT_EQ(s.pixel(columnOf(f, -137.5), f.centreY - 20), lightBlue) << width;
    EXPECT_EQ(s.pixel(columnOf(f, 2.5), f.centreY - 20), grey) << width;
  }
  // λ0 = 5: the first meridian offset, −185°, lies left of the map: three
  // lone dots; the next (170 W, −175°) is the first full line.
  const MapFrame f = centredFrame(1280, 1000, 5);
  DrawingSurface s(1280, 1000);
  MapPen pen;
  drawMapGrid(s, f, pen);
  const int dots = columnOf(f, -185), first = columnOf(f, -175);
  ASSERT_LT(dots, f.left);
  EXPECT_EQ(s.pixel(dots, f.centreY - 1), grey);
  EXPECT_EQ(s.pixel(dots, f.top), grey);
  EXPECT_EQ(s.pixel(dots, f.centreY - 100), kBlack);
  EXPECT_EQ(s.pixel(first, f.centreY - 100), grey);
}

TEST(MapDrawing, ClientAreasOfAnySizeDrawWithoutFailing) {
  // Narrower than the panel and margins, the map has no area and nothing is
  // drawn; wider, it is drawn as far as it fits.
  for (auto [w, h] : {std::pair{1, 1}, {100, 50}, {229, 900}, {231, 900}, {232, 900}, {3000, 40}}) {
    const MapFrame f = centredFrame(w, h, -77);
    DrawingSurface s(w, h);
    MapPen pen;
    drawWorldMap(s, f, pen, true, drawBuiltInOutline);
    int drawn = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) drawn += s.pixel(x, y) != kBlack;
    EXPECT_EQ(f.hasArea(), w > 231) << w;
    EXPECT_EQ(drawn > 0, f.hasArea()) << w << "x" << h;
  }
}

}  // namespace
}  // namespace tarvo
