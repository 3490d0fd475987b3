// The legend of the map's six zones: a swatch of each zone's hatching with
// what it means, drawn with the map's own brushes for the help text.
#pragma once

#include "surface/drawing_surface.h"

namespace tarvo {

// Size of the legend picture, pixels.
inline constexpr int kZoneLegendWidth = 520;
inline constexpr int kZoneLegendHeight = 8 * 22 + 8;

// Draws the legend on a surface of at least kZoneLegendWidth × kZoneLegendHeight:
// a row per zone (its hatching in its colour and its meaning), then the unhatched
// area and the marker of greatest eclipse, white text on black.
void drawZoneLegend(DrawingSurface& surface);

}  // namespace tarvo
