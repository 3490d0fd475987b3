#include "map/world_map.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "data/builtin_outline.h"
#include "map/projection.h"

namespace tarvo {

namespace {

constexpr double kRunSentinel = 999;
constexpr double kPolylineEnd = 200;
constexpr double kOutlineEnd = 500;
constexpr PaletteIndex kOutlineWhite = PaletteIndex::White;

// Steps through the outline's pair stream, skipping the runs' sentinels.
class OutlineCursor {
 public:
  // The next value of the pair stream; false past the table's end.
  bool next(double& value) {
    constexpr std::size_t n = std::size(data::kBuiltInOutline);
    while (index_ < n && data::kBuiltInOutline[index_] == kRunSentinel) ++index_;
    if (index_ >= n) return false;
    value = data::kBuiltInOutline[index_++];
    return true;
  }

 private:
  std::size_t index_ = 0;
};

}  // namespace

void drawBuiltInOutline(DrawingSurface& surface, const MapFrame& frame, MapPen& pen) {
  const double r = frame.scale;
  const double o = frame.longitudeOffsetRad();
  pen.penDown = false;
  bool wrapped = false;
  OutlineCursor cursor;
  double a = 0;
  double b = 0;
  while (cursor.next(a) && cursor.next(b)) {
    if (a == kOutlineEnd && b == kOutlineEnd) break;
    if (a == kPolylineEnd && b == kPolylineEnd) {
      pen.penDown = false;
      continue;
    }
    double d = a * kMapRadiansPerDegree + o;
    const double p = std::clamp(b * kMapRadiansPerDegree, -kMapLatLimitRad, kMapLatLimitRad);
    if (d < -kMapPi || d > kMapPi) {
      // A point beyond the map's edge meridian goes a full turn toward the map.
      d += d > kMapPi ? -kMapTwoPi : kMapTwoPi;
      if (!wrapped) {
        wrapped = true;
        pen.penDown = false;
      }
    } else {
      if (wrapped) pen.penDown = false;
      wrapped = false;
    }
    plotMapPoint(surface, frame, pen, r * d, mercatorY(frame, p), kOutlineWhite);
  }
}

void drawWorldMap(DrawingSurface& surface, const MapFrame& frame, MapPen& pen, bool drawGrid,
                  const OutlineDrawer& outline) {
  if (!frame.hasArea()) return;
  if (drawGrid) drawMapGrid(surface, frame, pen);
  if (outline) outline(surface, frame, pen);
}

}  // namespace tarvo
