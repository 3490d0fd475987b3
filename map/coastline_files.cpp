#include "map/coastline_files.h"

#include <cstdint>
#include <fstream>
#include <limits>

#include "map/projection.h"

namespace tarvo {

namespace {

constexpr int kCoastlineWhite = 15;
constexpr double kArcsecPerDegree = 3600;

MapOffset projectArcsec(const MapFrame& frame, const ArcsecPoint& p) {
  return projectToMap(frame, static_cast<double>(p.longitude) / kArcsecPerDegree,
                      static_cast<double>(p.latitude) / kArcsecPerDegree);
}

bool withinMargin(const MapFrame& frame, MapOffset o) {
  const std::int64_t px = std::int64_t{frame.centreX} + o.x;
  const std::int64_t py = std::int64_t{frame.centreY} - o.y;
  const int d = kCoastlineMarginPixels;
  return px >= frame.left - d && px <= frame.right + d && py >= frame.top - d &&
         py <= frame.bottom + d;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readCoastlineBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  // Offsets in the file are 32-bit: a longer file cannot be addressed.
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

void drawCoastlineOutline(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                          const CoastlineOutline& outline) {
  for (const CoastlineOutlineSegment& segment : outline.segments) {
    pen.penDown = false;
    if (segment.rank > kCoastlineMaxDrawnRank) continue;
    const MapOffset first = projectArcsec(frame, outline.points[segment.begin]);
    if (!withinMargin(frame, first)) {
      pen.penDown = false;
      continue;
    }
    plotMapPoint(surface, frame, pen, first.x, first.y, kCoastlineWhite);
    for (std::size_t k = segment.begin + 1; k < segment.end; ++k) {
      const MapOffset o = projectArcsec(frame, outline.points[k]);
      plotMapPoint(surface, frame, pen, o.x, o.y, kCoastlineWhite);
    }
  }
}

int drawCoastlineFiles(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                       const std::string& dataDir) {
  int drawn = 0;
  for (std::string_view name : kCoastlineFileNames) {
    const auto bytes = readCoastlineBytes(dataDir + "/" + std::string(name));
    const CoastlineOutlineDecode decoded =
        bytes ? decodeCoastlineOutline(*bytes, kCoastlineDecimation) : CoastlineOutlineDecode{};
    if (!decoded.outline) {
      surface.setTextColour(rgb(255, 255, 255));
      drawText(surface, 300, 15, kCoastlineMissingText);
      return drawn;
    }
    drawCoastlineOutline(surface, frame, pen, *decoded.outline);
    ++drawn;
  }
  return drawn;
}

}  // namespace tarvo
