// Any bytes as a coastline file: no crash, no read outside the input; a file
// that parses decodes every segment to its first point plus one point per
// stroke; the drawing's one-pass decoding agrees (verdict and points) unless
// it refuses points off the globe; and it
// draws on a small map without fault.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "map/coastline_files.h"
#include "map/coastline_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::CoastlineParse parse = tarvo::parseCoastlineFile(std::span(data, size));
  if (parse.file.has_value() != (parse.fault == tarvo::CoastlineFault::None)) __builtin_trap();
  const tarvo::CoastlineOutlineDecode decoded = tarvo::decodeCoastlineOutline(std::span(data, size), 100);
  // The drawing's decoding also refuses points that leave the globe (at the
  // first segment that does, before any later fault); otherwise both agree.
  if (decoded.fault == tarvo::CoastlineFault::PointOffGlobe) {
    if (decoded.outline) __builtin_trap();
    return 0;
  }
  if (decoded.fault != parse.fault || decoded.outline.has_value() != parse.file.has_value())
    __builtin_trap();
  if (!parse.file) return 0;
  std::vector<tarvo::ArcsecPoint> points;
  for (std::size_t j = 0; j < parse.file->segments.size(); ++j) {
    if (!tarvo::decodeSegmentPoints(*parse.file, j, points)) __builtin_trap();
    const std::size_t at = static_cast<std::size_t>(parse.file->segments[j].offset);
    const std::size_t strokes = static_cast<std::uint16_t>(data[at + 12] | (data[at + 13] << 8));
    if (points.size() != strokes + 1) __builtin_trap();
    // The outline keeps the first point and every 100th.
    const tarvo::CoastlineOutlineSegment& o = decoded.outline->segments[j];
    if (o.end - o.begin != strokes / 100 + 1) __builtin_trap();
    for (std::size_t k = o.begin; k < o.end; ++k)
      if (!(decoded.outline->points[k] == points[(k - o.begin) * 100])) __builtin_trap();
  }
  tarvo::DrawingSurface surface(320, 200);
  tarvo::MapFrame frame = tarvo::layoutMap(0, 0, 320, 200);
  frame.longitudeOffsetDeg = -137.5;
  tarvo::MapPen pen;
  tarvo::drawCoastlineOutline(surface, frame, pen, *decoded.outline);
  return 0;
}
