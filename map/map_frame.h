// The world map's rectangle, scale and central meridian in view pixels, and
// the pen state that the map's point-by-point drawers share.
//
// Map offsets are doubles in pixels from the map centre, x east (right),
// y north (up). The projection is Mercator: x = R × Δλ (radians, Δλ reduced
// into −π … +π about the central meridian), y = R × ln(tan(φ/2 + π/4)).
#pragma once

#include "base/constants.h"

namespace tarvo {

// Short forms of the angle constants the map arithmetic uses throughout.
inline constexpr double kMapPi = 3.1415926536;
inline constexpr double kMapTwoPi = 6.2831853072;
inline constexpr double kMapQuarterPi = 0.7853981634;
inline constexpr double kMapLatGridStepRad = 0.1745329252;  // 10°, grid spacing
inline constexpr double kMapLatLimitRad = 1.3962634016;     // 80°, top and bottom of the map
// Width of the information panel strip left of the map, pixels.
inline constexpr int kInfoPanelWidth = 225;
// ln(tan 85°): the Mercator ordinate of 80° latitude in units of R.
inline constexpr double kMapHalfHeightPerScale = 2.4362460538;

struct MapFrame {
  int left = 0, right = 0, top = 0, bottom = 0;  // pixels of the view's client area
  int centreX = 0, centreY = 0;                  // pixels
  double scale = 0;                 // R, pixels per radian of longitude
  double longitudeOffsetDeg = 0;    // degrees, minus the central meridian λ0
  bool centreLongitudeNegative = false;  // the central meridian lies west of Greenwich
  // longitudeOffsetDeg in radians (short-form degrees-to-radians factor).
  double longitudeOffsetRad() const { return longitudeOffsetDeg * kMapRadiansPerDegree; }
  // False for the map of a client area too narrow to hold one (the drawers
  // then draw nothing).
  bool hasArea() const { return right > left && bottom > top && scale > 0; }
};

// The map rectangle for a client area: a 225-pixel panel strip on the left,
// 5-pixel margins, width 2 trunc(πR) with R = (width − 230) / 2π, height
// following from the width (80°S … 80°N), centred meridian 0. In a client
// too short for that map, R is the largest that puts the whole map's height
// (frame included) above the client's last row, and the map is centred in
// the width. Any size, down to 1 × 1 and narrower than the panel, gives a
// frame (R may then be zero or negative; the drawers draw nothing visible
// and do not fail).
MapFrame layoutMap(int clientLeft, int clientTop, int clientRight, int clientBottom);

// A signed angle split for display: its magnitude in whole degrees and
// arc-minutes, and its sign.
struct SplitAngle {
  bool negative = false;  // the angle was below 0
  double degrees = 0;     // whole degrees of the magnitude
  double minutes = 0;     // arc-minutes of the magnitude, with fraction
};

// Latitude of the sub-lunar point at greatest eclipse, degrees north.
SplitAngle splitGreatestLatitude(double latitudeDeg);
// Longitude, degrees east; first reduced by fmod 360 (sign of the input).
SplitAngle splitGreatestLongitude(double longitudeDeg);

// Centres the map on the meridian of the split greatest-eclipse longitude:
// longitudeOffsetDeg = −(degrees + minutes/60) for an east longitude, + for a
// west one, and centreLongitudeNegative = its sign.
void centreMapOn(MapFrame& frame, const SplitAngle& greatestLongitude);

// Pen state of one map drawing: penDown continues the current polyline;
// longJumpsAllowed exempts lines from the jump break (only the parallels).
// Every polyline drawer sets penDown = false before its first point.
struct MapPen {
  bool penDown = false;
  bool longJumpsAllowed = false;
};

}  // namespace tarvo
