#include "map/projection.h"

#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

// Pixels beyond which the current position counts as a jump across the map.
constexpr double kJumpBreakPixels = 200;
// Inverse-conversion constants of the mouse commands (slightly different
// short forms from the forward projection's).
constexpr double kPickQuarterPi = 0.7853981635;

int clampedOffset(double v) {
  if (std::isnan(v)) return kFarOffMap;
  if (v > kFarOffMap) return kFarOffMap;
  if (v < -kFarOffMap) return -kFarOffMap;
  return static_cast<int>(v);
}

// trunc(c + x) of the exact sum, for a whole number c. The sum in doubles can
// round up to the next whole number (1070 + 844.9999999999999 gives 1915), which
// would put the right end of every parallel one pixel beyond the map's edge at
// some widths and drop the whole line.
double truncatedSum(int c, double x) {
  if (!std::isfinite(x)) return x;
  return x >= -c ? c + std::floor(x) : c + std::ceil(x);
}

}  // namespace

double mercatorY(const MapFrame& frame, double latitudeRad) {
  return frame.scale * std::log(std::tan(latitudeRad / 2 + kMapQuarterPi));
}

MapOffset projectToMap(const MapFrame& frame, double longitudeDeg, double latitudeDeg) {
  double d = longitudeDeg + frame.longitudeOffsetRad() / kMapRadiansPerDegree;
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return {clampedOffset(frame.scale * d * kMapRadiansPerDegree),
          clampedOffset(mercatorY(frame, latitudeDeg * kMapRadiansPerDegree))};
}

void plotMapPoint(DrawingSurface& surface, const MapFrame& frame, MapPen& pen, double x, double y,
                  PaletteIndex colour) {
  const double px = truncatedSum(frame.centreX, x);
  const double py = truncatedSum(frame.centreY, -y);
  if (!std::isfinite(px) || !std::isfinite(py)) {
    pen.penDown = false;
    return;
  }
  if (!pen.longJumpsAllowed) {
    const auto current = surface.currentPosition();
    if (!current || std::fabs(static_cast<double>(current->x) - px) > kJumpBreakPixels)
      pen.penDown = false;
  }
  if (px < frame.left || px > frame.right) pen.penDown = false;
  if (py < frame.top || py > frame.bottom) {
    pen.penDown = false;
    return;
  }
  // The map's arithmetic is in whole logical pixels; a surface of a larger
  // scale draws the point with its fraction, as finely as its pixels allow.
  const bool fine = surface.scale() != 1;
  const double drawX = fine ? frame.centreX + x : px;
  const double drawY = fine ? frame.centreY - y : py;
  if (pen.penDown) {
    lineToColour(surface, drawX, drawY, colour);
  } else {
    moveTo(surface, drawX, drawY);
    plot(surface, drawX, drawY, colour);
    pen.penDown = true;
  }
}

namespace {

// One meridian at offset d (radians east of the centre) from 80°N through
// the equator to 80°S.
void drawMeridian(DrawingSurface& surface, const MapFrame& frame, MapPen& pen, double d,
                  PaletteIndex colour) {
  pen.penDown = false;
  for (double phi = kMapLatLimitRad; phi >= -kMapLatLimitRad; phi -= kMapLatLimitRad)
    plotMapPoint(surface, frame, pen, frame.scale * d, mercatorY(frame, phi), colour);
}

}  // namespace

void drawMapGrid(DrawingSurface& surface, const MapFrame& frame, MapPen& pen) {
  // Dark grey is no zone's colour: the zones hatch across the grid, and a
  // grid line is never taken for a zone's hatching (blue is "not seen").
  constexpr PaletteIndex kGridGrey = PaletteIndex::DarkGrey;
  constexpr PaletteIndex kGridLightBlue = PaletteIndex::LightBlue;
  const double o = frame.longitudeOffsetRad();
  const double s = kMapLatGridStepRad;
  // The multiples of 10° of longitude, starting at or up to 10° left of the
  // left edge.
  for (double d = (-kMapPi + o) - std::trunc(o / s) * s; d <= kMapPi; d += s)
    drawMeridian(surface, frame, pen, d, kGridGrey);
  drawMeridian(surface, frame, pen, o, kGridLightBlue);  // Greenwich

  // Parallels 80°N … 80°S; the accumulated latitude after 80°S falls just
  // below −90°, which ends the loop.
  pen.longJumpsAllowed = true;
  for (double phi = kMapLatLimitRad; phi >= -1.5707963268; phi -= s) {
    const PaletteIndex colour = std::trunc(phi * 10) == 0 ? kGridLightBlue : kGridGrey;
    pen.penDown = false;
    for (double d = -kMapPi; d <= kMapPi; d += kMapTwoPi)
      plotMapPoint(surface, frame, pen, frame.scale * d, mercatorY(frame, phi), colour);
  }
  pen.longJumpsAllowed = false;
}

MapPick mapPointFromPixel(const MapFrame& frame, int px, int py) {
  if (!(frame.left < px && px < frame.right)) return {};
  const double dx = px - frame.centreX;
  const double dy = frame.centreY - py;
  const double r = frame.scale;
  const double longitude = (dx / r - frame.longitudeOffsetRad()) / kPickRadiansPerDegree;
  const double latitude = (std::atan(std::exp(dy / r)) - kPickQuarterPi) * 2 / kPickRadiansPerDegree;
  if (!(latitude <= 80 && latitude >= -80)) return {};
  return {true, longitude, latitude};
}

double readoutLongitude(double longitudeDeg) {
  double l = longitudeDeg;
  if (l > 360) l -= 360;
  if (l > 180) l = -(360 - l);
  if (l < -180) l += 360;
  return l;
}

std::vector<ReadoutLine> mouseReadoutLines(const MapFrame& frame, const MapPick& pick) {
  if (!pick.ok) return {};
  char lon[64];
  char lat[64];
  std::snprintf(lon, sizeof lon, "Lon:%7.2f", readoutLongitude(pick.longitudeDeg));
  std::snprintf(lat, sizeof lat, "Lat:%7.2f", pick.latitudeDeg);
  return {{frame.right - 85, 15, lon}, {frame.right - 85, 30, lat}};
}

bool drawMouseReadout(DrawingSurface& surface, const MapFrame& frame, int px, int py) {
  const auto lines = mouseReadoutLines(frame, mapPointFromPixel(frame, px, py));
  if (lines.empty()) return false;
  const FontRecipe savedFont = surface.font();
  surface.setFont(FontRecipe::Text);
  surface.setBackgroundMode(BackgroundMode::Opaque);
  surface.setBackgroundColour(paletteColour(PaletteIndex::Black));
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ReadoutLine& line : lines) drawText(surface, line.x, line.y, line.text);
  surface.setFont(savedFont);
  return true;
}

}  // namespace tarvo
