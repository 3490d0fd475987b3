// The hatched visibility zones of a lunar eclipse over the world map: for
// each pair of contacts, the part of the map where the Moon is below the
// horizon at the contact, bounded by the horizon circles of the sub-lunar
// points; the marker of greatest eclipse and the map's pale green frame.
#pragma once

#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"
#include "surface/drawing_surface.h"
#include "map/map_frame.h"

namespace tarvo {

struct VisibilityInputs {
  int eclipseType = 3;  // 1 total, 2 partial, 3 penumbral (others: as penumbral)
  GeoPoint greatest{0, 0};  // signed sub-lunar point at greatest eclipse, degrees
  // Sub-lunar points at the contacts, degrees; U1, U4 read for types 1 and 2,
  // U2, U3 for type 1 only.
  GeoPoint p1{0, 0}, u1{0, 0}, u2{0, 0}, u3{0, 0}, u4{0, 0}, p4{0, 0};
};

// The sub-lunar points at greatest eclipse and at the contacts of an eclipse,
// at its ΔT; a contact the type lacks keeps the point of greatest eclipse.
VisibilityInputs visibilityInputsOf(const EclipseCircumstances& eclipse);

// The six zones in order (brown P1/P4, magenta U1/U4, red U2/U3, cyan U3/U2,
// green U4/U1, blue P4/P1, as the type has them), the yellow marker of
// greatest eclipse, and the pale green frame at ±180°, ±80°. The frame must be
// centred on the greatest eclipse (centreMapOn). Nothing for a frame without
// area.
void drawVisibilityZones(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                         const VisibilityInputs& inputs);

// The zone boundaries (horizon arcs) the same eclipse would have with the
// sub-lunar points of `shifted` (another ΔT): dashed two-pixel yellow lines,
// which show on every zone, drawn over the zones without touching their
// hatching. Same frame as drawVisibilityZones.
void drawBoundaryBands(DrawingSurface& surface, const MapFrame& frame, const VisibilityInputs& shifted);

// The legend line of the bands in the map's top left corner, on black: a
// dashed sample and kBandsLegend (Latin-1).
inline constexpr const char* kBandsLegend = "zone edges at Delta T \xB1 sigma";
void drawBandsLegend(DrawingSurface& surface, const MapFrame& frame);

// The parts, for tests and the simulation.
// Yellow dot of radius 3 at the map point of (λ, φ) degrees.
void drawGreatestMarker(DrawingSurface& surface, const MapFrame& frame, double longitudeDeg,
                        double latitudeDeg);
// A 3-pixel line between two points given in degrees east of the central
// meridian and of latitude; not shifted, not clipped.
void drawThickLine(DrawingSurface& surface, const MapFrame& frame, double lambda1Deg,
                   double phi1Deg, double lambda2Deg, double phi2Deg, PaletteIndex colour);

}  // namespace tarvo
