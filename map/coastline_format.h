// The compressed binary coastline files (CIA World Data Bank II form): a
// pure decoder, bytes in, points out. Integers are little-endian, angles are
// seconds of arc, longitude east and latitude north positive.
//
// Layout: a 40-byte header (index offset, segment count, index length, bound
// on a segment's stroke bytes); an index of 28-byte records (segment offset,
// stroke bytes, rank); each segment a 16-byte header (first point, stroke
// count) followed by 16-bit stroke words. A stroke is a relative move; a flag
// word with bit 0x4000 announces a short stroke packed in the next word,
// which is in turn the flag word of the stroke after it; otherwise a long
// stroke holds its longitude and latitude steps in the two words after the
// flag and advances the word cursor by four.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr std::size_t kCoastlineHeaderBytes = 40;
inline constexpr std::size_t kCoastlineIndexRecordBytes = 28;
inline constexpr std::size_t kCoastlineSegmentHeaderBytes = 16;
// Largest stroke bound a file may declare: twice the largest length an index
// record can hold; a larger one is taken as a lie about the file's sizes.
inline constexpr std::int32_t kCoastlineMaxStrokeBound = 65534;
// Segments of a higher rank (finer detail) are not drawn.
inline constexpr int kCoastlineMaxDrawnRank = 2;
// A longitude step of this many seconds of arc or more is dropped while
// decoding (its latitude step is kept).
inline constexpr std::int64_t kCoastlineLongitudeStepLimitArcsec = 100;

// The five files in reading order: Asia (with Australia, Oceania and
// Antarctica), Europe, Africa, North America, South America.
inline constexpr std::string_view kCoastlineFileNames[5] = {
    "as_cil.cbd", "eu_cil.cbd", "af_cil.cbd", "na_cil.cbd", "sa_cil.cbd"};

// Seconds of arc; 64 bits so that no sum of steps can overflow.
struct ArcsecPoint {
  std::int64_t longitude;
  std::int64_t latitude;
  bool operator==(const ArcsecPoint&) const = default;
};

struct CoastlineSegmentRecord {
  std::int32_t offset;       // bytes from the start of the file
  std::int16_t strokeBytes;  // length of the stroke data after the 16-byte header
  std::int16_t rank;         // level of detail
};

// Why a file was refused; every refusal means "unreadable", as a missing file.
enum class CoastlineFault {
  None,
  ShortHeader,        // fewer than 40 bytes
  BadIndex,           // index offset, length or count negative or beyond the file
  BadStrokeBound,     // negative or above kCoastlineMaxStrokeBound
  BadSegmentPlace,    // a segment's offset or stroke bytes negative or beyond the file
  StrokesOverBound,   // a segment's stroke bytes exceed the header's bound
  BadStrokeCount,     // negative stroke count
  StrokesOverBuffer,  // decoding the strokes would read past the stroke buffer
  PointOffGlobe,      // a drawn point beyond ±90° latitude or ±360° longitude
};

// What a fault means, for a message ("the strokes lead off the globe").
const char* describe(CoastlineFault fault);

// The bounds every point of a coastline lies within, seconds of arc: the
// globe, with longitudes east of 180° or west of −180° allowed for lines that
// cross the date line unwrapped.
inline constexpr std::int64_t kCoastlineMaxLatitudeArcsec = 90 * 3600;
inline constexpr std::int64_t kCoastlineMaxLongitudeArcsec = 360 * 3600;

// A file checked in full: every index record, segment header and stroke walk
// stays inside the bytes and the stroke buffer. Views the caller's bytes.
struct CoastlineFile {
  std::span<const std::uint8_t> bytes;
  std::int32_t strokeBound = 0;  // bytes; the stroke buffer is 2 × this + 50
  std::vector<CoastlineSegmentRecord> segments;
};

struct CoastlineParse {
  std::optional<CoastlineFile> file;  // empty when the file is unreadable
  CoastlineFault fault = CoastlineFault::None;
};

// Checks the whole file and lists its segments in index order.
CoastlineParse parseCoastlineFile(std::span<const std::uint8_t> bytes);

// A whole file decoded for drawing: per segment, in index order, its rank and
// its points (the first point and the point after every keepEvery-th stroke).
struct CoastlineOutlineSegment {
  int rank;
  std::size_t begin, end;  // its points: points[begin … end)
};
struct CoastlineOutline {
  std::vector<ArcsecPoint> points;
  std::vector<CoastlineOutlineSegment> segments;
};
struct CoastlineOutlineDecode {
  std::optional<CoastlineOutline> outline;  // empty when the file is unreadable
  CoastlineFault fault = CoastlineFault::None;
};

// The same checks as parseCoastlineFile, in the same pass as the decoding
// (each stroke is walked once), and every point kept within the globe's
// bounds (a damaged stroke sends the line off it); a file it refuses yields
// no points at all.
CoastlineOutlineDecode decodeCoastlineOutline(std::span<const std::uint8_t> bytes, int keepEvery);

// Words in the stroke buffer: (2 × bound + 50) bytes.
std::size_t strokeBufferWords(std::int32_t strokeBound);

// One segment's first point and the point after each stroke (after every
// keepEvery-th stroke: strokes keepEvery, 2 keepEvery, ...), accumulated in
// stroke order (first point plus n points when keepEvery is 1), into out
// (cleared first). The
// stroke buffer reads as zero past the segment's stroke bytes. False (and
// out cleared) when the segment lies outside the file or its strokes overrun
// the stroke buffer, which a parsed file never does.
bool decodeSegmentPoints(const CoastlineFile& file, std::size_t segment,
                         std::vector<ArcsecPoint>& out, int keepEvery = 1);

// The stroke decoding alone: strokeCount strokes from the stroke buffer that
// holds strokeData and zeros after it, bufferWords 16-bit words in all,
// starting at the first point. False when a stroke would read past the
// buffer; out then holds the points decoded so far.
bool decodeStrokes(std::span<const std::uint8_t> strokeData, std::size_t bufferWords,
                   std::int32_t strokeCount, ArcsecPoint first, std::vector<ArcsecPoint>& out,
                   int keepEvery = 1);

}  // namespace tarvo
