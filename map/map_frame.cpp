#include "map/map_frame.h"

#include <cmath>

#include "timebase/time_scales.h"

namespace tarvo {

MapFrame layoutMap(int clientLeft, int clientTop, int clientRight, int clientBottom) {
  MapFrame f;
  const int left = clientLeft + kInfoPanelWidth;
  const int right = clientRight - 5;
  const int top = clientTop + 5;
  f.scale = static_cast<double>(right - left) / kMapPi / 2;
  // The centre column counts from the panel's edge, not from the client's.
  f.centreX = (right - left) / 2 + kInfoPanelWidth;
  const int h = static_cast<int>(kMapHalfHeightPerScale * f.scale);
  const int w = static_cast<int>(f.scale * kMapPi);
  f.centreY = h + top;
  f.left = f.centreX - w;
  f.top = f.centreY - h - 1;
  f.right = w + f.centreX;
  f.bottom = f.centreY + h + 1;
  (void)clientBottom;  // the height follows from the width
  return f;
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
