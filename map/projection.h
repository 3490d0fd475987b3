// The Mercator projection of the world map, the pen-lifting plot through
// which every map line is drawn, the grid, and the pixel-to-map inverse used
// by the mouse commands.
#pragma once

#include <string>
#include <vector>

#include "surface/drawing_surface.h"
#include "map/map_frame.h"

namespace tarvo {

// Farthest map offset projectToMap returns, pixels; larger values, infinities
// and NaN (latitudes at or beyond the poles) are clamped to it, which lies
// off every map.
inline constexpr int kFarOffMap = 1000000000;

struct MapOffset {
  int x, y;  // pixels from the map centre, x east, y north, truncated toward zero
};

// Map offset of a longitude and latitude (degrees, east and north positive):
// the longitude difference from the central meridian is reduced once into
// −180 … 180 (−180 stays).
MapOffset projectToMap(const MapFrame& frame, double longitudeDeg, double latitudeDeg);

// Mercator ordinate R ln(tan(φ/2 + π/4)) of a latitude in radians, pixels.
double mercatorY(const MapFrame& frame, double latitudeRad);

// Draws the map offset (x, y) as the next point of the current polyline, in a
// palette colour. The point becomes pixel (trunc(centreX + x),
// trunc(centreY − y)). The pen lifts when the point lies more than 200
// pixels to the side of the surface's current position (unless
// longJumpsAllowed) or left or right of the map; a point left or right of the
// map is drawn as a lone dot; a point above or below the map (or unusable) is
// not drawn and lifts the pen.
void plotMapPoint(DrawingSurface& surface, const MapFrame& frame, MapPen& pen, double x, double y,
                  PaletteIndex colour);

// The grid: meridians every 10° (dark grey, palette 8), the prime meridian
// (light blue, 9), and the parallels 80°N … 80°S every 10° across the full
// width (dark grey, the equator light blue).
void drawMapGrid(DrawingSurface& surface, const MapFrame& frame, MapPen& pen);

struct MapPick {
  bool ok = false;
  double longitudeDeg = 999;  // within 180° of the central meridian, may exceed ±180
  double latitudeDeg = 999;
};

// Longitude and latitude of a client pixel; ok = false (both 999) for a pixel
// not strictly between the map's left and right edges, or beyond ±80°.
MapPick mapPointFromPixel(const MapFrame& frame, int px, int py);

// A picked longitude brought into −180 … 180 as the mouse commands do it:
// above 360 subtract 360; then above 180 becomes −(360 − λ); below −180 add
// 360. 190.5 gives −169.5.
double readoutLongitude(double longitudeDeg);

struct ReadoutLine {
  int x, y;
  std::string text;
};

// The mouse read-out of a pick: "Lon:%7.2f" at (right − 85, 15) and
// "Lat:%7.2f" at (right − 85, 30); empty when the pick is not on the map.
std::vector<ReadoutLine> mouseReadoutLines(const MapFrame& frame, const MapPick& pick);

// The left-click read-out of the client pixel (px, py): its two lines in the
// text font, white on opaque black. False, and nothing drawn, off the map.
bool drawMouseReadout(DrawingSurface& surface, const MapFrame& frame, int px, int py);

}  // namespace tarvo
