// The "CIA MAP" outline: the five coastline files drawn in white through the
// map's projection and pen-lifting plot.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "surface/drawing_surface.h"
#include "map/coastline_format.h"
#include "map/map_frame.h"

namespace tarvo {

// Every this many strokes one point of a segment is drawn (after its first).
inline constexpr int kCoastlineDecimation = 100;
// A segment whose first point lies more pixels than this outside the map
// rectangle is not drawn.
inline constexpr int kCoastlineMarginPixels = 28;
// Shown at (300, 15) when a coastline file cannot be read.
inline constexpr const char* kCoastlineMissingText = "CIA WORLD BANK";

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readCoastlineBytes(const std::string& path);

// One decoded file (decodeCoastlineOutline with kCoastlineDecimation): each
// segment of rank ≤ 2 whose first point lies within the margin, as its
// points, white (palette 15), each segment a new polyline.
void drawCoastlineOutline(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                          const CoastlineOutline& outline);

// The five files from dataDir in order. At the first that cannot be read
// (missing, or refused by the decoder) "CIA WORLD BANK" is written in white
// at (300, 15) and the files after it are not tried. Returns how many files
// were drawn.
int drawCoastlineFiles(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                       const std::string& dataDir);

}  // namespace tarvo
