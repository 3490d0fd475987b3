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

// A coastline file's bytes, or why it cannot be read: the system's reason,
// "not a regular file" (a folder, a pipe: never waited on), "larger than
// 2 GiB" (its offsets are 32-bit), or "empty".
struct CoastlineBytes {
  std::optional<std::vector<std::uint8_t>> bytes;
  std::string error;
};
CoastlineBytes readCoastlineBytes(const std::string& path);

// One decoded file (decodeCoastlineOutline with kCoastlineDecimation): each
// segment of rank ≤ 2 whose first point lies within the margin, as its
// points, white (palette 15), each segment a new polyline.
void drawCoastlineOutline(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                          const CoastlineOutline& outline);

// What drawing the coastline files did: how many were drawn, and for the
// first that could not be used its name and why ("as_cil.cbd: No such file or
// directory"), empty when all five were drawn.
struct CoastlineDrawing {
  int filesDrawn = 0;
  std::string problem;
};

// The five files from dataDir, each read and checked before any is drawn.
// When one cannot be read (missing, unreadable, not a regular file, too
// large, or refused by the decoder) none of them is drawn: the built-in
// outline is drawn instead and "CIA WORLD BANK" is written in white at
// (300, 15); the files after it are not tried.
CoastlineDrawing drawCoastlineFiles(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                                    const std::string& dataDir);

}  // namespace tarvo
