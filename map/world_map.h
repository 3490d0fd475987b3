// The world map's background drawing: the grid and a coastline outline.
#pragma once

#include <functional>

#include "surface/drawing_surface.h"
#include "map/map_frame.h"

namespace tarvo {

// Draws one coastline source through plotMapPoint.
using OutlineDrawer = std::function<void(DrawingSurface&, const MapFrame&, MapPen&)>;

// The grid (when drawGrid) and then the outline (when given); nothing for a
// frame without area.
void drawWorldMap(DrawingSurface& surface, const MapFrame& frame, MapPen& pen, bool drawGrid,
                  const OutlineDrawer& outline);

// The coarse built-in world outline in white (palette 15); latitudes beyond
// ±80° are drawn at ±80°.
void drawBuiltInOutline(DrawingSurface& surface, const MapFrame& frame, MapPen& pen);

}  // namespace tarvo
