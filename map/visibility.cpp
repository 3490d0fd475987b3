#include "map/visibility.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "map/projection.h"

namespace tarvo {

namespace {

constexpr double kRpd = kMapRadiansPerDegree;
constexpr double kArcStepRad = 0.00872664626;  // 0.5°
constexpr double kArcBeyondCentreDeg = 7;      // arcs run this far past the centre
constexpr PaletteIndex kMarkerYellow = PaletteIndex::Yellow;
constexpr PaletteIndex kFramePaleGreen = PaletteIndex::PaleGreen;
// The six zones' colours, in drawing order: the Moon rises after (sets
// before) P1/P4, U1/U4, U2/U3, U3/U2, U4/U1, P4/P1 (not seen).
constexpr PaletteIndex kZone1Brown = PaletteIndex::Brown;
constexpr PaletteIndex kZone2Magenta = PaletteIndex::Magenta;
constexpr PaletteIndex kZone3Red = PaletteIndex::Red;
constexpr PaletteIndex kZone4Cyan = PaletteIndex::Cyan;
constexpr PaletteIndex kZone5Green = PaletteIndex::Green;
constexpr PaletteIndex kZone6Blue = PaletteIndex::Blue;
constexpr PaletteIndex kBandColour = PaletteIndex::Yellow;  // contrasts with every zone
constexpr double kSeedOffsetDeg = 170;          // seeds 170° either side of greatest eclipse
constexpr double kSecondSeedLatitudeDeg = 11.5;  // nearer the equator, both sides are seeded
constexpr double kHeldAtTopRad = kMapLatLimitRad - 0.2 * kRpd;  // 79.8°: arcs north of 80° are drawn here

// An offset from the central meridian (radians) brought once into −π … π.
double intoMap(double d) {
  if (d > kMapPi) d -= kMapTwoPi;
  if (d < -kMapPi) d += kMapTwoPi;
  return d;
}

double pixelX(const MapFrame& f, double offsetRad) {
  return std::trunc(f.centreX + f.scale * offsetRad);
}
double pixelY(const MapFrame& f, double latitudeDeg) {
  return std::trunc(f.centreY - mercatorY(f, latitudeDeg * kRpd));
}

enum class Side { West, East };

// The samples of one arc of the horizon circle of the sub-lunar point
// (λs, φs): the latitude where the Moon is on the horizon, for every half
// degree of longitude over one half of the map and 7° beyond the centre.
// plot(d, φ, breaks, heldAtTop) gets the offset from the central meridian
// and the latitude, radians, whether the line must not join the sample
// before, and whether the circle passes north of 80° there (drawn at 79.8°).
// stride > 1 takes every stride-th sample only.
template <class Plot>
void forEachHorizonSample(const MapFrame& f, Side side, const GeoPoint& subLunar, int stride, Plot plot) {
  const double o = f.longitudeOffsetRad();
  const double a = -subLunar.longitudeDeg * kRpd;
  const double b = subLunar.latitudeDeg * kRpd;
  const double quarter = 90 * kRpd;
  const double from = side == Side::West ? -o - kMapPi : -o - kArcBeyondCentreDeg * kRpd;
  const double to = side == Side::West ? -o + kArcBeyondCentreDeg * kRpd : -o + kMapPi;
  bool wrapped = false;
  const double step = kArcStepRad * stride;
  // Loop invariants of the formula below, computed once.
  const double sinB = std::sin(b + quarter);
  const double cosB = std::cos(quarter + b);
  for (double theta = from; theta <= to; theta += step) {
    // φ = −atan(cot φs cos(θ − λs)).
    double phi = -std::atan(-sinB * std::sin(theta + quarter + a) / cosB);
    double d = theta + o;
    bool breaks = false;
    if (d < -kMapPi || d > kMapPi) {
      d += f.centreLongitudeNegative ? -kMapTwoPi : kMapTwoPi;
      if (!wrapped) {
        wrapped = true;
        breaks = true;
      }
    } else {
      if (wrapped) breaks = true;
      wrapped = false;
    }
    const bool heldAtTop = phi > kMapLatLimitRad;
    if (heldAtTop) phi = kHeldAtTopRad;
    if (phi < -kMapLatLimitRad) phi = -kMapLatLimitRad;
    plot(d, phi, breaks, heldAtTop);
  }
}

// Draws one arc. Where the circle passes north of the map the arc is drawn
// at 79.8°, below the frame's line at 80°: the strip between them belongs to
// the same side of the horizon as the column under it, and is closed off
// from the fill by a barrier over each such stretch of the arc, so that no
// fill runs along it from one side of a horizon to the other.
void drawHorizonArc(DrawingSurface& s, const MapFrame& f, MapPen& pen, Side side,
                    const GeoPoint& subLunar, PaletteIndex colour, std::vector<FillBarrier>& barriers) {
  pen.penDown = false;
  const double frameTop = f.centreY - std::trunc(mercatorY(f, kMapLatLimitRad));
  const double arcTop = f.centreY - mercatorY(f, kHeldAtTopRad);
  bool extending = false;
  forEachHorizonSample(f, side, subLunar, 1, [&](double d, double phi, bool breaks, bool heldAtTop) {
    if (breaks) pen.penDown = false;
    plotMapPoint(s, f, pen, f.scale * d, mercatorY(f, phi), colour);
    const double x = f.centreX + f.scale * d;
    if (heldAtTop && extending && !breaks) {
      barriers.back().right = x + 1;
    } else if (heldAtTop) {
      barriers.push_back({x, frameTop, x + 1, arcTop});
    }
    extending = heldAtTop;
  });
}

// The same arc as a dashed two-pixel line in the bands' colour, inside the
// frame: dashes of 2° with gaps of 1°, so that the bands show on every
// zone's hatching and are not taken for a boundary.
void drawDashedHorizonArc(DrawingSurface& s, const MapFrame& f, Side side, const GeoPoint& subLunar) {
  constexpr int kSamplesPerDash = 6, kSamplesDrawn = 4;
  const Pen saved = s.pen();
  s.setPen({paletteColour(kBandColour), 2});
  int sample = 0;
  bool joined = false;
  forEachHorizonSample(f, side, subLunar, 1, [&](double d, double phi, bool breaks, bool) {
    const double x = pixelX(f, d), y = pixelY(f, phi / kRpd);
    const bool inside = std::isfinite(x) && std::isfinite(y) && x >= f.left && x + 1 <= f.right &&
                        y >= f.top && y + 1 <= f.bottom;
    const bool on = sample++ % kSamplesPerDash < kSamplesDrawn;
    if (inside && on && joined && !breaks) s.lineTo(x, y);
    else s.moveTo(x, y);
    joined = inside && on;
  });
  s.setPen(saved);
}

// The rectangle Λ = ±L, Φ = ±80° (L = 180, or 179 for the inset frame).
void drawZoneFrame(DrawingSurface& s, const MapFrame& f, bool inset, PaletteIndex colour) {
  const double l = inset ? 179 : 180;
  drawThickLine(s, f, -l, 80, l, 80, colour);
  drawThickLine(s, f, -l, -80, l, -80, colour);
  drawThickLine(s, f, -l, 80, -l, -80, colour);
  drawThickLine(s, f, l, 80, l, -80, colour);
}

// Diagonal-cross hatching of the region around the map point of (λ, φ),
// bounded by pixels of the zone's own colour.
void hatchZone(DrawingSurface& s, const MapFrame& f, double longitudeDeg, double latitudeDeg,
               PaletteIndex colour, const std::vector<FillBarrier>& barriers) {
  const double d = intoMap(longitudeDeg * kRpd + f.longitudeOffsetRad());
  const Brush saved = s.brush();
  s.setBrush({BrushStyle::DiagonalCross, paletteColour(colour)});
  s.setBackgroundMode(BackgroundMode::Transparent);
  s.floodFill(pixelX(f, d), pixelY(f, latitudeDeg), paletteColour(colour), barriers);
  s.setBrush(saved);
}

// The latitude 90° from the sub-lunar point on its own meridian, on the side
// of the equator away from the Moon.
double antipodalHorizonLatitude(double subLunarLatitudeDeg) {
  return subLunarLatitudeDeg > 0 ? subLunarLatitudeDeg - 90 : subLunarLatitudeDeg + 90;
}

double mapLongitude(const MapFrame& f, double longitudeDeg) {
  double l = longitudeDeg + f.longitudeOffsetDeg;
  if (l > 180) l -= 360;
  if (l < -180) l += 360;
  return l;
}

// The thick blue line that closes zone 6 between the far-side horizon points
// on the meridians of P4 and P1, when both lie on the map on one side of the
// equator.
void drawClosingLine(DrawingSurface& s, const MapFrame& f, const GeoPoint& p4,
                     const GeoPoint& p1) {
  double h = antipodalHorizonLatitude(p4.latitudeDeg);
  double j = antipodalHorizonLatitude(p1.latitudeDeg);
  const double lambdaH = mapLongitude(f, p4.longitudeDeg);
  const double lambdaJ = mapLongitude(f, p1.longitudeDeg);
  if (h > 80 && j < 80) h = 79.8;
  if (j > 80 && h < 80) j = 79.8;
  if (h > -80 && j < -80) j = -79.8;
  if (j > -80 && h < -80) h = -79.8;
  if (-80 < h && h < 80 && -80 < j && j < 80 && h * j > 0)
    drawThickLine(s, f, lambdaH, h, lambdaJ, j, kZone6Blue);
}

struct Zone {
  PaletteIndex colour;
  const GeoPoint* west;  // contact whose horizon bounds the west half
  const GeoPoint* east;  // contact whose horizon bounds the east half
};

// The six zones in drawing order, for the contacts of `in`.
std::array<Zone, 6> zonesOf(const VisibilityInputs& in) {
  return {{{kZone1Brown, &in.p1, &in.p4},
           {kZone2Magenta, &in.u1, &in.u4},
           {kZone3Red, &in.u2, &in.u3},
           {kZone4Cyan, &in.u3, &in.u2},
           {kZone5Green, &in.u4, &in.u1},
           {kZone6Blue, &in.p4, &in.p1}}};
}

// Whether the eclipse type has the zone: P zones always, U1/U4 for umbral
// eclipses, U2/U3 for total ones.
bool zoneDrawn(const Zone& zone, int eclipseType) {
  const bool umbral = eclipseType == 1 || eclipseType == 2;
  const bool total = eclipseType == 1;
  const PaletteIndex c = zone.colour;
  return c == kZone1Brown || c == kZone6Blue || ((c == kZone2Magenta || c == kZone5Green) && umbral) || total;
}

void drawZone(DrawingSurface& s, const MapFrame& f, MapPen& pen, const Zone& zone,
              const VisibilityInputs& in) {
  std::vector<FillBarrier> barriers;
  drawZoneFrame(s, f, true, zone.colour);
  drawHorizonArc(s, f, pen, Side::West, *zone.west, zone.colour, barriers);
  drawHorizonArc(s, f, pen, Side::East, *zone.east, zone.colour, barriers);
  if (zone.colour == kZone6Blue) drawClosingLine(s, f, in.p4, in.p1);
  hatchZone(s, f, in.greatest.longitudeDeg - kSeedOffsetDeg, 0, zone.colour, barriers);
  if (std::fabs(zone.west->latitudeDeg) < kSecondSeedLatitudeDeg ||
      std::fabs(zone.east->latitudeDeg) < kSecondSeedLatitudeDeg)
    hatchZone(s, f, in.greatest.longitudeDeg + kSeedOffsetDeg, 0, zone.colour, barriers);
}

}  // namespace

void drawGreatestMarker(DrawingSurface& surface, const MapFrame& frame, double longitudeDeg,
                        double latitudeDeg) {
  const double d = intoMap(longitudeDeg * kRpd + frame.longitudeOffsetRad());
  fillCircle(surface, pixelX(frame, d), pixelY(frame, latitudeDeg), 3, kMarkerYellow);
}

void drawThickLine(DrawingSurface& surface, const MapFrame& frame, double lambda1Deg,
                   double phi1Deg, double lambda2Deg, double phi2Deg, PaletteIndex colour) {
  const auto px = [&](double lambda) {
    return std::trunc(frame.scale * lambda * kRpd) + frame.centreX;
  };
  const auto py = [&](double phi) {
    return frame.centreY - std::trunc(mercatorY(frame, phi * kRpd));
  };
  const Pen saved = surface.pen();
  surface.setPen({paletteColour(colour), 3});
  surface.moveTo(px(lambda1Deg), py(phi1Deg));
  surface.lineTo(px(lambda2Deg), py(phi2Deg));
  surface.setPen(saved);
}

VisibilityInputs visibilityInputsOf(const EclipseCircumstances& e) {
  VisibilityInputs in;
  in.eclipseType = eclipseTypeCode(e.record.eclipseType);
  in.greatest = e.subLunar;
  const auto at = [&](double t) { return subLunarPoint(e.record, t, e.deltaTSeconds); };
  const ContactTimes& c = e.contacts;
  in.p1 = at(c.p1);
  in.p4 = at(c.p4);
  // A contact the type lacks is never drawn; its point stays at greatest eclipse.
  in.u1 = c.u1 ? at(*c.u1) : in.greatest;
  in.u4 = c.u4 ? at(*c.u4) : in.greatest;
  in.u2 = c.u2 ? at(*c.u2) : in.greatest;
  in.u3 = c.u3 ? at(*c.u3) : in.greatest;
  return in;
}

void drawVisibilityZones(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                         const VisibilityInputs& in) {
  if (!frame.hasArea()) return;
  drawGreatestMarker(surface, frame, in.greatest.longitudeDeg, in.greatest.latitudeDeg);
  for (const Zone& zone : zonesOf(in)) {
    if (zoneDrawn(zone, in.eclipseType)) drawZone(surface, frame, pen, zone, in);
  }
  drawZoneFrame(surface, frame, false, kFramePaleGreen);
}

void drawBoundaryBands(DrawingSurface& surface, const MapFrame& frame, const VisibilityInputs& shifted) {
  if (!frame.hasArea()) return;
  for (const Zone& zone : zonesOf(shifted)) {
    if (!zoneDrawn(zone, shifted.eclipseType)) continue;
    drawDashedHorizonArc(surface, frame, Side::West, *zone.west);
    drawDashedHorizonArc(surface, frame, Side::East, *zone.east);
  }
}

void drawBandsLegend(DrawingSurface& surface, const MapFrame& frame) {
  if (!frame.hasArea()) return;
  const Pen saved = surface.pen();
  const int x = frame.left + 8, y = frame.top + 8;
  fillBox(surface, x - 3, y - 2, x + 7 * 40, y + 15, PaletteIndex::Black);
  surface.setPen({paletteColour(kBandColour), 2});
  surface.moveTo(x, y + 6);
  surface.lineTo(x + 14, y + 6);
  surface.moveTo(x + 18, y + 6);
  surface.lineTo(x + 32, y + 6);
  surface.setPen(saved);
  surface.setTextColour(paletteColour(kBandColour));
  drawText(surface, x + 38, y, kBandsLegend);
}

}  // namespace tarvo
