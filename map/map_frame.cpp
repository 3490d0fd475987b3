#include "map/map_frame.h"

#include <cmath>

#include "timebase/time_scales.h"

namespace tarvo {

namespace {

// The frame for a scale R (pixels per radian), its top edge at `top` and its
// centre column at centreX.
MapFrame frameOfScale(double scale, int top, int centreX) {
  MapFrame f;
  f.scale = scale;
  f.centreX = centreX;
  const int h = static_cast<int>(kMapHalfHeightPerScale * f.scale);
  const int w = static_cast<int>(f.scale * kMapPi);
  f.centreY = h + top;
  f.left = f.centreX - w;
  f.top = f.centreY - h - 1;
  f.right = w + f.centreX;
  f.bottom = f.centreY + h + 1;
  return f;
}

}  // namespace

MapFrame layoutMap(int clientLeft, int clientTop, int clientRight, int clientBottom) {
  const int left = clientLeft + kInfoPanelWidth;
  const int right = clientRight - 5;
  const int top = clientTop + 5;
  // The centre column counts from the panel's edge, not from the client's.
  const int centreX = (right - left) / 2 + kInfoPanelWidth;
  const MapFrame byWidth = frameOfScale(static_cast<double>(right - left) / kMapPi / 2, top, centreX);
  // The last row of the client is clientBottom − 1.
  if (byWidth.bottom < clientBottom) return byWidth;
  // Too short for the map of its width: the largest half-height h whose frame
  // ends on the last row, and the scale that gives it.
  const int h = (clientBottom - 2 - top) / 2;
  return frameOfScale((h + 0.5) / kMapHalfHeightPerScale, top, centreX);
}

namespace {

SplitAngle splitMagnitude(double deg) {
  SplitAngle s;
  s.negative = deg < 0;
  const DegreesMinutes dm = splitDegrees(std::fabs(deg));
  s.degrees = dm.degrees;
  s.minutes = dm.minutes;
  return s;
}

}  // namespace

SplitAngle splitGreatestLatitude(double latitudeDeg) { return splitMagnitude(latitudeDeg); }

SplitAngle splitGreatestLongitude(double longitudeDeg) {
  return splitMagnitude(std::fmod(longitudeDeg, 360.0));
}

void centreMapOn(MapFrame& frame, const SplitAngle& greatestLongitude) {
  const double m = greatestLongitude.degrees + greatestLongitude.minutes / 60;
  frame.longitudeOffsetDeg = greatestLongitude.negative ? m : -m;
  frame.centreLongitudeNegative = greatestLongitude.negative;
}

}  // namespace tarvo
