// Map layout, projection round trip, pen lifting, grid and the pick rules.
#include "map/projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "map/world_map.h"

namespace tarvo {
namespace {

constexpr Rgb kBlack = colorTable[0];

// Signed difference a − b of two longitudes, degrees, in −180 … 180.
double longitudeDifference(double a, double b) { return std::remainder(a - b, 360.0); }

MapFrame centredFrame(int width, int height, double centralMeridianDeg) {
  MapFrame f = layoutMap(0, 0, width, height);
  centreMapOn(f, splitGreatestLongitude(centralMeridianDeg));
  return f;
}

TEST(MapLayout, RectangleFromTheClientWidth) {
  // Expected values worked out by hand from the layout rule (R = (w − 230)/2π,
  // centre 225 + half the width, half-height trunc(2.4362460538 R)).
  struct Case {
    int width, height;
    int left, right, top, bottom, centreX, centreY;
    double scale;
  } cases[] = {
      {1280, 800, 225, 1275, 4, 820, 750, 412, 167.1126902459},
      {692, 453, 225, 687, 4, 364, 456, 184, 73.5295837082},
      // πR falls just below 845: the map is one pixel narrower on each side.
      {1920, 1080, 226, 1914, 4, 1316, 1070, 660, 268.9718538244},
  };
  for (const Case& c : cases) {
    const MapFrame f = layoutMap(0, 0, c.width, c.height);
    EXPECT_EQ(f.left, c.left) << c.width;
    EXPECT_EQ(f.right, c.right) << c.width;
    EXPECT_EQ(f.top, c.top) << c.width;
    EXPECT_EQ(f.bottom, c.bottom) << c.width;
    EXPECT_EQ(f.centreX, c.centreX) << c.width;
    EXPECT_EQ(f.centreY, c.centreY) << c.width;
    EXPECT_NEAR(f.scale, c.scale, 1e-9) << c.width;
    EXPECT_EQ(f.longitudeOffsetDeg, 0);
  }
}

TEST(MapLayout, CentringOnTheGreatestEclipseMeridian) {
  struct Case {
    double longitude, offset;
    bool negative;
  } cases[] = {{137.5, -137.5, false}, {-10.5, 10.5, true}, {370.25, -10.25, false},
               {-725, 5, true}, {0, 0, false}};
  for (const Case& c : cases) {
    const MapFrame f = centredFrame(1280, 800, c.longitude);
    EXPECT_NEAR(f.longitudeOffsetDeg, c.offset, 1e-12) << c.longitude;
    EXPECT_EQ(f.centreLongitudeNegative, c.negative) << c.longitude;
  }
  const SplitAngle lat = splitGreatestLatitude(-23.755);
  EXPECT_TRUE(lat.negative);
  EXPECT_EQ(lat.degrees, 23);
  EXPECT_NEAR(lat.minutes, 45.3, 1e-9);
}

TEST(MapProjection, RoundTripThroughThePixelPick) {
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
        EXPECT_NEAR(longitudeDifference(p.longitudeDeg, lon), 0, 1.01 * pixelDeg)
            << centre << " " << lon;
        EXPECT_NEAR(p.latitudeDeg, lat, 1.01 * pixelDeg / std::cos(lat * M_PI / 180))
            << centre << " " << lat;
        // The pick stays within 180° of the central meridian.
        EXPECT_LE(std::fabs(p.longitudeDeg - centre), 180.0 + pixelDeg) << centre << " " << lon;
      }
    }
  }
}

TEST(MapProjection, OffsetsReducedOnceAndPolesKeptOffTheMap) {
  const MapFrame f = centredFrame(1280, 800, 170);
  // 190 E is 20° east of the centre; −170 (= 190) likewise.
  EXPECT_EQ(projectToMap(f, -170, 0).x, projectToMap(f, 190, 0).x);
  EXPECT_EQ(projectToMap(f, -170, 0).x, static_cast<int>(f.scale * 20 * kMapRadiansPerDegree));
  EXPECT_EQ(projectToMap(f, 170, 0).x, 0);
  EXPECT_EQ(projectToMap(f, 0, 0).y, 0);
  EXPECT_GT(projectToMap(f, 0, 90).y, f.centreY);  // beyond every map's top
  EXPECT_EQ(projectToMap(f, 0, 120).y, kFarOffMap);
  EXPECT_EQ(projectToMap(f, 0, NAN).y, kFarOffMap);
  EXPECT_LT(projectToMap(f, 0, -90).y, -f.centreY);
}

TEST(MapPick, EdgeColumnsAndRowsBeyondEightyDegrees) {
  for (int width : {1280, 692, 1920}) {
    const MapFrame f = layoutMap(0, 0, width, 800);
    const int midY = f.centreY;
    EXPECT_FALSE(mapPointFromPixel(f, f.left, midY).ok) << width;
    EXPECT_FALSE(mapPointFromPixel(f, f.right, midY).ok) << width;
    EXPECT_TRUE(mapPointFromPixel(f, f.left + 1, midY).ok) << width;
    EXPECT_TRUE(mapPointFromPixel(f, f.right - 1, midY).ok) << width;
    // The top and bottom rows lie one pixel beyond 80°; the rows inside them
    // are within it.
    const MapPick top = mapPointFromPixel(f, f.centreX, f.top);
    EXPECT_FALSE(top.ok) << width;
    EXPECT_EQ(top.latitudeDeg, 999);
    EXPECT_EQ(top.longitudeDeg, 999);
    EXPECT_FALSE(mapPointFromPixel(f, f.centreX, f.bottom).ok) << width;
    const MapPick inside = mapPointFromPixel(f, f.centreX, f.top + 1);
    ASSERT_TRUE(inside.ok) << width;
    EXPECT_GT(inside.latitudeDeg, 79.5);
    EXPECT_TRUE(mapPointFromPixel(f, f.centreX, f.bottom - 1).ok) << width;
  }
  // A map narrower than a pixel picks nothing.
  const MapFrame tiny = layoutMap(0, 0, 100, 50);
  for (int x = -5; x < 100; ++x) EXPECT_FALSE(mapPointFromPixel(tiny, x, 10).ok);
}

TEST(MapPick, ReadoutLongitudeRange) {
  struct Case {
    double in, out;
  } cases[] = {{190.5, -169.5}, {180, 180}, {180.5, -179.5}, {370, 10}, {-190, 170},
               {-180, -180}, {-179.5, -179.5}, {45, 45}, {540, 180}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(readoutLongitude(c.in), c.out) << c.in;

  MapFrame f = layoutMap(0, 0, 1280, 800);
  const auto lines = mouseReadoutLines(f, {true, 190.5, -12.345});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Lon:-169.50");
  EXPECT_EQ(lines[1].text, "Lat: -12.35");  // the printf rounding of −12.345
  EXPECT_EQ(lines[0].x, 1275 - 85);
  EXPECT_EQ(lines[0].y, 15);
  EXPECT_EQ(lines[1].y, 30);
  EXPECT_TRUE(mouseReadoutLines(f, MapPick{}).empty());

  // Drawn white on black over whatever is there; nothing off the map.
  DrawingSurface s(1280, 800);
  s.clear(colorTable[1]);
  EXPECT_FALSE(drawMouseReadout(s, f, f.left, f.centreY));
  EXPECT_EQ(s.pixel(1275 - 85, 15), colorTable[1]);
  ASSERT_TRUE(drawMouseReadout(s, f, f.centreX + 100, f.centreY - 100));
  int white = 0, black = 0;
  for (int y = 15; y < 42; ++y)
    for (int x = 1275 - 85; x < 1275 - 85 + 77; ++x) {
      white += s.pixel(x, y) == colorTable[15];
      black += s.pixel(x, y) == colorTable[0];
    }
  EXPECT_GT(white, 40);
  EXPECT_GT(black, 10 * white / 2);
  EXPECT_EQ(s.pixel(1275 - 86, 20), colorTable[1]);
}

TEST(MapPen, LiftsAtEdgesJumpsAndRowsOutsideTheMap) {
  const MapFrame f = layoutMap(0, 0, 1280, 800);
  const Rgb red = colorTable[4];
  {  // A line inside the map, its last pixel left out.
    DrawingSurface s(1280, 800);
    MapPen pen;
    plotMapPoint(s, f, pen, 0, 0, 4);
    plotMapPoint(s, f, pen, 50, 0, 4);
    for (int x = f.centreX; x < f.centreX + 50; ++x) EXPECT_EQ(s.pixel(x, f.centreY), red) << x;
    EXPECT_TRUE(pen.penDown);
  }
  {  // Left of the map: a lone dot that the next point joins.
    DrawingSurface s(1280, 800);
    MapPen pen;
    pen.penDown = true;
    moveTo(s, f.left - 40, f.centreY);
    plotMapPoint(s, f, pen, f.left - 20 - f.centreX, 0, 4);
    EXPECT_EQ(s.pixel(f.left - 20, f.centreY), red);
    EXPECT_EQ(s.pixel(f.left - 30, f.centreY), kBlack);  // not joined to the previous point
    EXPECT_TRUE(pen.penDown);
    plotMapPoint(s, f, pen, f.left + 20 - f.centreX, 0, 4);
    EXPECT_EQ(s.pixel(f.left, f.centreY), red);
  }
  {  // Above the map: nothing drawn, pen lifted; the next point is a dot.
    DrawingSurface s(1280, 800);
    MapPen pen;
    plotMapPoint(s, f, pen, 0, 0, 4);
    plotMapPoint(s, f, pen, 0, f.centreY - f.top + 1, 4);
    EXPECT_FALSE(pen.penDown);
    plotMapPoint(s, f, pen, 0, -100, 4);
    EXPECT_EQ(s.pixel(f.centreX, f.centreY - 50), kBlack);
    EXPECT_EQ(s.pixel(f.centreX, f.centreY + 100), red);
  }
  {  // More than 200 pixels sideways: broken, unless long jumps are allowed.
    for (bool allowed : {false, true}) {
      DrawingSurface s(1280, 800);
      MapPen pen;
      pen.longJumpsAllowed = allowed;
      plotMapPoint(s, f, pen, -150, 0, 4);
      plotMapPoint(s, f, pen, 51, 0, 4);
      EXPECT_EQ(s.pixel(f.centreX, f.centreY), allowed ? red : kBlack) << allowed;
      // A lone dot after the break; a line's own last pixel is left out.
      EXPECT_EQ(s.pixel(f.centreX + 51, f.centreY), allowed ? kBlack : red) << allowed;
    }
    DrawingSurface s(1280, 800);
    MapPen pen;
    plotMapPoint(s, f, pen, -150, 0, 4);
    plotMapPoint(s, f, pen, 50, 0, 4);  // exactly 200: joined
    EXPECT_EQ(s.pixel(f.centreX, f.centreY), red);
  }
  {  // Unusable offsets lift the pen and draw nothing.
    DrawingSurface s(64, 64);
    MapPen pen{true, false};
    plotMapPoint(s, f, pen, NAN, 0, 4);
    EXPECT_FALSE(pen.penDown);
    plotMapPoint(s, f, pen, 0, INFINITY, 4);
    EXPECT_FALSE(pen.penDown);
  }
}

// The pixel column of an offset in degrees east of the map centre.
int columnOf(const MapFrame& f, double offsetDeg) {
  return static_cast<int>(std::trunc(f.centreX + f.scale * offsetDeg * kMapRadiansPerDegree));
}

// Rows of the column x holding grid colours, as runs (top row, colour).
std::vector<std::pair<int, Rgb>> gridRuns(const DrawingSurface& s, int x, int y0, int y1) {
  std::vector<std::pair<int, Rgb>> runs;
  Rgb previous = kBlack;
  for (int y = y0; y <= y1; ++y) {
    const Rgb c = s.pixel(x, y);
    if (c != kBlack && c != previous) runs.push_back({y, c});
    previous = c;
  }
  return runs;
}

TEST(MapGrid, SeventeenParallelsAcrossTheWidthAndMeridiansEveryTenDegrees) {
  const Rgb blue = colorTable[1];
  const Rgb lightBlue = colorTable[9];
  // At 1920 the double sum centreX + πR rounds up to one column beyond the
  // map; the parallels must still reach its last column.
  for (int width : {1280, 692, 1920}) {
    const MapFrame f = centredFrame(width, 2000, 137.5);
    DrawingSurface s(width + 40, 2000);
    MapPen pen;
    drawWorldMap(s, f, pen, true, {});
    // A column between meridians crosses the parallels only.
    const int x = f.centreX + static_cast<int>(f.scale * 5 * kMapRadiansPerDegree);
    const auto runs = gridRuns(s, x, 0, 1999);
    ASSERT_EQ(runs.size(), 17u) << width;
    for (std::size_t i = 0; i < runs.size(); ++i)
      EXPECT_EQ(runs[i].second, i == 8 ? lightBlue : blue) << width << " " << i;
    // The equator: the short form of π/4 used by the projection lies 2.6e-12
    // above π/4, so latitude 0 projects a hair north of the centre row.
    const int equator = runs[8].first;
    EXPECT_EQ(equator, f.centreY - 1);
    EXPECT_EQ(runs[0].first, f.top);  // 80°N on the top row
    EXPECT_EQ(runs[16].first, f.bottom - 1);
    // Every parallel spans the full width, from one pixel left of the map
    // when πR is not a whole number (1920), else from its left edge.
    const int westEnd = columnOf(f, -180);
    EXPECT_EQ(westEnd, width == 1920 ? f.left - 1 : f.left);
    EXPECT_EQ(s.pixel(westEnd, equator), lightBlue);
    EXPECT_EQ(s.pixel(westEnd - 1, equator), kBlack);
    EXPECT_EQ(s.pixel(f.right - 1, equator), lightBlue);
    EXPECT_EQ(s.pixel(f.right - 1, runs[0].first), blue);
    // The prime meridian lies 137.5° west of the centre, light blue; 140 E
    // lies 2.5° east of it, blue.
    const int prime = columnOf(f, -137.5);
    EXPECT_EQ(s.pixel(prime, f.centreY - 20), lightBlue) << width;
    const int east140 = columnOf(f, 2.5);
    EXPECT_EQ(s.pixel(east140, f.centreY - 20), blue) << width;
  }
}

TEST(MapGrid, FirstMeridianLeftOfTheMapShowsAsLoneDots) {
  // λ0 = 5: the first meridian offset is −185°, its three points left of the
  // map; the next (170 W, −175°) is the first full line.
  const MapFrame f = centredFrame(1280, 1000, 5);
  DrawingSurface s(1280, 1000);
  MapPen pen;
  drawMapGrid(s, f, pen);
  const int dots = columnOf(f, -185);
  ASSERT_LT(dots, f.left);
  EXPECT_EQ(s.pixel(dots, f.centreY - 1), colorTable[1]);  // the dot on the equator
  EXPECT_EQ(s.pixel(dots, f.top), colorTable[1]);           // and on 80 N
  EXPECT_EQ(s.pixel(dots, f.centreY - 100), kBlack);        // no line between
  const int first = columnOf(f, -175);
  EXPECT_EQ(s.pixel(first, f.centreY - 100), colorTable[1]);
  EXPECT_EQ(s.pixel(first, f.centreY + 100), colorTable[1]);
}

int drawnPixels(const DrawingSurface& s) {
  int count = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) count += s.pixel(x, y) != kBlack;
  return count;
}

TEST(MapDrawing, ClientAreasOfAnySizeDrawWithoutFailing) {
  // Narrower than the panel and margins, the map has no area and nothing is
  // drawn; wider, it is drawn as far as it fits.
  for (auto [w, h] : {std::pair{1, 1}, {100, 50}, {226, 30}, {229, 900}, {231, 900}, {232, 900}, {240, 900}, {3000, 40}}) {
    const MapFrame f = centredFrame(w, h, -77);
    DrawingSurface s(w, h);
    MapPen pen;
    drawWorldMap(s, f, pen, true, drawBuiltInOutline);
    const int count = drawnPixels(s);
    EXPECT_EQ(f.hasArea(), w > 231) << w;
    if (f.hasArea()) {
      EXPECT_GT(count, 0) << w << "x" << h;
    } else {
      EXPECT_EQ(count, 0) << w << "x" << h;
    }
  }
}

}  // namespace
}  // namespace tarvo
