#include "map/coastline_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

#include "map/projection.h"
#include "map/world_map.h"

namespace tarvo {

namespace {

constexpr PaletteIndex kCoastlineWhite = PaletteIndex::White;
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

CoastlineBytes readCoastlineBytes(const std::string& path) {
  // Opened without waiting (a pipe would block until a writer came), then
  // checked to be a regular file before anything is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {std::nullopt, std::strerror(errno)};
  CoastlineBytes out;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    out.error = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    out.error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
  } else if (st.st_size > std::numeric_limits<std::int32_t>::max()) {
    // Offsets in the file are 32-bit: a longer file cannot be addressed.
    out.error = "larger than 2 GiB";
  } else if (st.st_size == 0) {
    out.error = "empty";
  } else {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        out.error = std::strerror(errno);
        break;
      }
      if (n == 0) {
        out.error = "shorter than its size (changed while read)";
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    if (out.error.empty()) out.bytes = std::move(bytes);
  }
  ::close(fd);
  return out;
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

CoastlineDrawing drawCoastlineFiles(DrawingSurface& surface, const MapFrame& frame, MapPen& pen,
                                    const std::string& dataDir) {
  std::vector<CoastlineOutline> outlines;
  CoastlineDrawing result;
  for (std::string_view name : kCoastlineFileNames) {
    const CoastlineBytes read = readCoastlineBytes(dataDir + "/" + std::string(name));
    CoastlineOutlineDecode decoded;
    if (read.bytes) decoded = decodeCoastlineOutline(*read.bytes, kCoastlineDecimation);
    if (!decoded.outline) {
      result.problem = std::string(name) + ": " + (read.bytes ? describe(decoded.fault) : read.error);
      break;
    }
    outlines.push_back(std::move(*decoded.outline));
  }
  if (!result.problem.empty()) {
    drawBuiltInOutline(surface, frame, pen);
    surface.setTextColour(rgb(255, 255, 255));
    drawText(surface, 300, 15, kCoastlineMissingText);
    return result;
  }
  for (const CoastlineOutline& outline : outlines) {
    drawCoastlineOutline(surface, frame, pen, outline);
    ++result.filesDrawn;
  }
  return result;
}

}  // namespace tarvo
