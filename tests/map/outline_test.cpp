// The built-in outline table's structure and telling rows, and how it is
// drawn across the map's edge meridian.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "data/builtin_outline.h"
#include "map/projection.h"
#include "map/world_map.h"

namespace tarvo {
namespace {

struct Pair {
  double lon, lat;
};

// The table split into runs of pairs at the 999 sentinels.
std::vector<std::vector<Pair>> runs() {
  std::vector<std::vector<Pair>> out(1);
  const auto& t = data::kBuiltInOutline;
  for (std::size_t i = 0; i < std::size(t);) {
    if (t[i] == 999) {
      out.emplace_back();
      ++i;
      continue;
    }
    if (i + 1 >= std::size(t) || t[i + 1] == 999) {
      ADD_FAILURE() << "odd run at " << i;
      break;
    }
    out.back().push_back({t[i], t[i + 1]});
    i += 2;
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

bool isMarker(const Pair& p) {
  return (p.lon == 200 && p.lat == 200) || (p.lon == 500 && p.lat == 500);
}

TEST(BuiltInOutline, RunsMarkersAndTellingRows) {
  const auto r = runs();
  ASSERT_EQ(r.size(), 18u);
  EXPECT_EQ(data::kBuiltInOutline[std::size(data::kBuiltInOutline) - 1], 999);

  // Africa first, from the Saharan coast.
  const Pair africa[] = {{-17, 20}, {-17, 23}, {-15, 25}, {-10, 30}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r[0][i].lon, africa[i].lon) << i;
    EXPECT_EQ(r[0][i].lat, africa[i].lat) << i;
  }
  // Antarctica last: one closed ring, then the end pair.
  const auto& last = r.back();
  const Pair antarctica[] = {{0, -72}, {10, -70}, {23, -71}, {33, -69}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(last[i].lon, antarctica[i].lon) << i;
    EXPECT_EQ(last[i].lat, antarctica[i].lat) << i;
  }
  ASSERT_GE(last.size(), 3u);
  EXPECT_EQ(last[last.size() - 2].lon, 0);
  EXPECT_EQ(last[last.size() - 2].lat, -72);
  EXPECT_EQ(last.back().lon, 500);
  EXPECT_EQ(last.back().lat, 500);
  for (std::size_t i = 0; i + 1 < last.size(); ++i)
    EXPECT_FALSE(isMarker(last[i])) << "Antarctica is one polyline, pair " << i;
  // Every other run ends a polyline; no run starts with a marker.
  int breaks = 0;
  int points = 0;
  for (std::size_t k = 0; k < r.size(); ++k) {
    ASSERT_FALSE(r[k].empty());
    EXPECT_FALSE(isMarker(r[k].front())) << k;
    if (k + 1 < r.size()) {
      EXPECT_EQ(r[k].back().lon, 200) << k;
      EXPECT_EQ(r[k].back().lat, 200) << k;
    }
    for (const Pair& p : r[k]) {
      if (p.lon == 200 && p.lat == 200) ++breaks;
      if (!isMarker(p)) ++points;
    }
  }
  EXPECT_GE(points, 1800);
  EXPECT_LE(points, 2000);
  EXPECT_GE(breaks, 17);
}

TEST(BuiltInOutline, RangesAndLongitudesEastOfTheAntimeridian) {
  double minLon = 1e9, maxLon = -1e9, minLat = 1e9, maxLat = -1e9;
  for (const auto& run : runs()) {
    for (const Pair& p : run) {
      if (isMarker(p)) continue;
      minLon = std::min(minLon, p.lon);
      maxLon = std::max(maxLon, p.lon);
      minLat = std::min(minLat, p.lat);
      maxLat = std::max(maxLat, p.lat);
      // Points stored east of 180° are eastern Siberia or the Antarctic coast.
      if (p.lon > 180) {
        EXPECT_TRUE((p.lat > 60 && p.lat < 72) || p.lat < -60) << p.lon << " " << p.lat;
      }
    }
  }
  EXPECT_EQ(std::round(minLon), -168);
  EXPECT_EQ(std::round(maxLon), 190);
  EXPECT_EQ(std::round(minLat), -86);
  EXPECT_EQ(std::round(maxLat), 82);
}

// White pixels in the box of offsets [λ1, λ2] × [φ1, φ2] degrees from the map
// centre.
int whiteIn(const DrawingSurface& s, const MapFrame& f, double lambda1, double lambda2,
            double phi1, double phi2) {
  const auto x = [&](double l) { return f.centreX + static_cast<int>(f.scale * l * kMapRadiansPerDegree); };
  const auto y = [&](double p) { return f.centreY - static_cast<int>(mercatorY(f, p * kMapRadiansPerDegree)); };
  int n = 0;
  for (int py = y(phi2); py <= y(phi1); ++py)
    for (int px = x(lambda1); px <= x(lambda2); ++px) n += s.pixel(px, py) == colorTable[15];
  return n;
}

TEST(BuiltInOutline, EasternSiberiaWrapsTowardTheMap) {
  // Chukotka's east (185..190 E, 64..69 N) lies 180..185° east of a central
  // meridian at 5 E: it is drawn at the map's left edge, whichever side of
  // Greenwich the centre lies.
  for (double centre : {5.0, -5.0}) {
    const MapFrame f = [&] {
      MapFrame m = layoutMap(0, 0, 1280, 800);
      centreMapOn(m, splitGreatestLongitude(centre));
      return m;
    }();
    DrawingSurface s(1280, 800);
    MapPen pen;
    drawWorldMap(s, f, pen, false, drawBuiltInOutline);
    EXPECT_GT(whiteIn(s, f, 185 - centre - 360, 190 - centre - 360, 64, 69), 5) << centre;
    EXPECT_GT(whiteIn(s, f, 100 - centre, 140 - centre, 30, 45), 20) << centre;  // China
  }
}

TEST(BuiltInOutline, LatitudesBeyondEightyDrawnOnTheEdgeRows) {
  // Greenland's north coast (82 N stored) is drawn at 80 N, Antarctica's
  // interior coast (86 S) at 80 S: on the map's top and bottom pixel rows.
  MapFrame f = layoutMap(0, 0, 1280, 1000);
  DrawingSurface s(1280, 1000);
  MapPen pen;
  drawBuiltInOutline(s, f, pen);
  int top = 0, bottom = 0, beyond = 0;
  for (int x = f.left; x <= f.right; ++x) {
    top += s.pixel(x, f.top) == colorTable[15];
    bottom += s.pixel(x, f.bottom - 1) == colorTable[15];
    for (int y = 0; y < f.top; ++y) beyond += s.pixel(x, y) == colorTable[15];
    for (int y = f.bottom; y < 1000; ++y) beyond += s.pixel(x, y) == colorTable[15];
  }
  EXPECT_GT(top, 20);
  EXPECT_GT(bottom, 20);
  EXPECT_EQ(beyond, 0);
}

}  // namespace
}  // namespace tarvo
