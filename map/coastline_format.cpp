#include "map/coastline_format.h"

#include <algorithm>

namespace tarvo {

namespace {

std::int32_t readInt32(std::span<const std::uint8_t> b, std::size_t at) {
  const std::uint32_t v = std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) |
                          (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24);
  return static_cast<std::int32_t>(v);
}

std::int16_t readInt16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int16_t>(std::uint16_t{b[at]} | (std::uint16_t{b[at + 1]} << 8));
}

// The stroke buffer: the segment's stroke bytes, then zeros, bufferWords
// words in all.
class StrokeBuffer {
 public:
  StrokeBuffer(std::span<const std::uint8_t> data, std::size_t bufferWords)
      : data_(data), words_(bufferWords) {}
  bool has(std::size_t i) const { return i < words_; }
  // Words below this index lie wholly in the stroke bytes and the buffer.
  std::size_t dataWords() const { return std::min(data_.size() / 2, words_); }
  // Word i where dataWords() says it is in the data.
  int dataWord(std::size_t i) const {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(data_[2 * i] | (data_[2 * i + 1] << 8)));
  }
  int word(std::size_t i) const {
    const std::size_t at = 2 * i;
    const unsigned lo = at < data_.size() ? data_[at] : 0u;
    const unsigned hi = at + 1 < data_.size() ? data_[at + 1] : 0u;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t words_;
};

struct Step {
  int dLongitude;  // seconds of arc
  int dLatitude;
};

constexpr int kShortStrokeFlag = 0x4000;

// The stroke whose flag word is at cursor i, moving i to the next flag word;
// reads words i … i + 1 (short) or i … i + 2 (long) through word(j).
template <typename Word>
Step strokeAt(Word word, std::size_t& i) {
  Step s;
  if (word(i) & kShortStrokeFlag) {
    // Short: the next word holds both steps and is the next stroke's flag.
    i += 1;
    int t = word(i);
    if (t > 0) t &= ~kShortStrokeFlag;
    s.dLatitude = static_cast<std::int8_t>(static_cast<std::uint8_t>(t & 0xFF));
    s.dLongitude = (t >> 8) & 0x3F;
    if (t < 0) s.dLongitude -= 64;
  } else {
    // Long: the two words after the flag; a negative value stored with bit
    // 0x4000 cleared gets it back.
    s.dLongitude = word(i + 1);
    if (s.dLongitude < 0) s.dLongitude |= kShortStrokeFlag;
    s.dLatitude = word(i + 2);
    if (s.dLatitude < 0) s.dLatitude |= kShortStrokeFlag;
    i += 4;
  }
  return s;
}

// Walks the strokes, calling onStep with each decoded step; false when a
// stroke would read past the buffer.
template <typename OnStep>
bool walkStrokes(const StrokeBuffer& w, std::int32_t strokeCount, OnStep onStep) {
  std::size_t i = 0;
  std::int32_t k = 0;
  // While every word a stroke can read lies in the data, without checks.
  const std::size_t safe = w.dataWords();
  const auto dataWord = [&w](std::size_t j) { return w.dataWord(j); };
  for (; k < strokeCount && i + 2 < safe; ++k) onStep(strokeAt(dataWord, i));
  const auto word = [&w](std::size_t j) { return w.word(j); };
  for (; k < strokeCount; ++k) {
    if (!w.has(i)) return false;
    const bool isShort = (w.word(i) & kShortStrokeFlag) != 0;
    if (!w.has(i + (isShort ? 1 : 2))) return false;
    onStep(strokeAt(word, i));
  }
  return true;
}

bool inside(std::int64_t begin, std::int64_t length, std::size_t size) {
  return begin >= 0 && length >= 0 && begin + length <= static_cast<std::int64_t>(size);
}

}  // namespace

std::size_t strokeBufferWords(std::int32_t strokeBound) {
  return (2 * static_cast<std::size_t>(strokeBound) + 50) / 2;
}

bool decodeStrokes(std::span<const std::uint8_t> strokeData, std::size_t bufferWords,
                   std::int32_t strokeCount, ArcsecPoint first, std::vector<ArcsecPoint>& out,
                   int keepEvery) {
  out.push_back(first);
  // Accumulators as plain locals (never address-taken) so they stay in registers.
  std::int64_t longitude = first.longitude;
  std::int64_t latitude = first.latitude;
  int sinceKept = 0;
  const int every = keepEvery;
  return walkStrokes(StrokeBuffer(strokeData, bufferWords), strokeCount, [&](Step s) {
    if (s.dLongitude < kCoastlineLongitudeStepLimitArcsec &&
        s.dLongitude > -kCoastlineLongitudeStepLimitArcsec)
      longitude += s.dLongitude;
    latitude += s.dLatitude;
    if (++sinceKept >= every) {
      out.push_back(ArcsecPoint{longitude, latitude});
      sinceKept = 0;
    }
  });
}

namespace {

// Checks the header, the index and every segment's place and stroke count,
// and hands each segment to strokesFit(record, first point, stroke count,
// stroke bytes, buffer words), which walks its strokes and says whether they
// stay in the stroke buffer.
template <typename StrokesFit>
CoastlineParse parseLayout(std::span<const std::uint8_t> bytes, StrokesFit strokesFit) {
  CoastlineParse result;
  auto refuse = [&](CoastlineFault f) {
    result.fault = f;
    return result;
  };
  if (bytes.size() < kCoastlineHeaderBytes) return refuse(CoastlineFault::ShortHeader);

  const std::int32_t indexOffset = readInt32(bytes, 4);
  const std::int32_t segmentCount = readInt32(bytes, 8);
  const std::int32_t indexLength = readInt32(bytes, 12);
  const std::int32_t strokeBound = readInt32(bytes, 16);
  if (segmentCount < 0 || !inside(indexOffset, indexLength, bytes.size()) ||
      std::int64_t{segmentCount} * std::int64_t{kCoastlineIndexRecordBytes} > indexLength)
    return refuse(CoastlineFault::BadIndex);
  if (strokeBound < 0 || strokeBound > kCoastlineMaxStrokeBound)
    return refuse(CoastlineFault::BadStrokeBound);

  CoastlineFile file;
  file.bytes = bytes;
  file.strokeBound = strokeBound;
  file.segments.reserve(static_cast<std::size_t>(segmentCount));
  const std::size_t bufferWords = strokeBufferWords(strokeBound);
  for (std::int32_t j = 0; j < segmentCount; ++j) {
    const std::size_t at = static_cast<std::size_t>(indexOffset) + j * kCoastlineIndexRecordBytes;
    const CoastlineSegmentRecord r{readInt32(bytes, at + 20), readInt16(bytes, at + 24),
                                   readInt16(bytes, at + 26)};
    if (!inside(r.offset, std::int64_t{kCoastlineSegmentHeaderBytes} + r.strokeBytes, bytes.size()) ||
        r.strokeBytes < 0)
      return refuse(CoastlineFault::BadSegmentPlace);
    if (r.strokeBytes > strokeBound) return refuse(CoastlineFault::StrokesOverBound);
    const std::size_t seg = static_cast<std::size_t>(r.offset);
    const std::int16_t strokeCount = readInt16(bytes, seg + 12);
    if (strokeCount < 0) return refuse(CoastlineFault::BadStrokeCount);
    const ArcsecPoint first{readInt32(bytes, seg), readInt32(bytes, seg + 4)};
    const auto data = bytes.subspan(seg + kCoastlineSegmentHeaderBytes,
                                    static_cast<std::size_t>(r.strokeBytes));
    if (!strokesFit(r, first, strokeCount, data, bufferWords))
      return refuse(CoastlineFault::StrokesOverBuffer);
    file.segments.push_back(r);
  }
  result.file = std::move(file);
  return result;
}

}  // namespace

CoastlineParse parseCoastlineFile(std::span<const std::uint8_t> bytes) {
  return parseLayout(bytes, [](const CoastlineSegmentRecord&, ArcsecPoint, std::int32_t strokeCount,
                               std::span<const std::uint8_t> data, std::size_t bufferWords) {
    return walkStrokes(StrokeBuffer(data, bufferWords), strokeCount, [](Step) {});
  });
}

const char* describe(CoastlineFault fault) {
  switch (fault) {
    case CoastlineFault::None: return "no fault";
    case CoastlineFault::ShortHeader: return "shorter than its 40-byte header";
    case CoastlineFault::BadIndex: return "its segment index lies outside the file";
    case CoastlineFault::BadStrokeBound: return "its stroke bound is out of range";
    case CoastlineFault::BadSegmentPlace: return "a segment lies outside the file";
    case CoastlineFault::StrokesOverBound: return "a segment is longer than the file's bound";
    case CoastlineFault::BadStrokeCount: return "a segment has a negative stroke count";
    case CoastlineFault::StrokesOverBuffer: return "a segment's strokes run past its data";
    case CoastlineFault::PointOffGlobe: return "a segment's strokes lead off the globe";
  }
  return "damaged";
}

namespace {

bool onGlobe(const ArcsecPoint& p) {
  return p.latitude >= -kCoastlineMaxLatitudeArcsec && p.latitude <= kCoastlineMaxLatitudeArcsec &&
         p.longitude >= -kCoastlineMaxLongitudeArcsec && p.longitude <= kCoastlineMaxLongitudeArcsec;
}

}  // namespace

CoastlineOutlineDecode decodeCoastlineOutline(std::span<const std::uint8_t> bytes, int keepEvery) {
  CoastlineOutline outline;
  bool offGlobe = false;
  const CoastlineParse parse = parseLayout(
      bytes, [&](const CoastlineSegmentRecord& r, ArcsecPoint first, std::int32_t strokeCount,
                 std::span<const std::uint8_t> data, std::size_t bufferWords) {
        const std::size_t begin = outline.points.size();
        if (!decodeStrokes(data, bufferWords, strokeCount, first, outline.points, keepEvery))
          return false;
        for (std::size_t k = begin; k < outline.points.size(); ++k) {
          if (!onGlobe(outline.points[k])) {
            offGlobe = true;
            return false;
          }
        }
        outline.segments.push_back({r.rank, begin, outline.points.size()});
        return true;
      });
  if (offGlobe) return {std::nullopt, CoastlineFault::PointOffGlobe};
  if (!parse.file) return {std::nullopt, parse.fault};
  return {std::move(outline), CoastlineFault::None};
}

bool decodeSegmentPoints(const CoastlineFile& file, std::size_t segment,
                         std::vector<ArcsecPoint>& out, int keepEvery) {
  out.clear();
  if (segment >= file.segments.size()) return false;
  const CoastlineSegmentRecord& r = file.segments[segment];
  if (!inside(r.offset, std::int64_t{kCoastlineSegmentHeaderBytes} + r.strokeBytes,
              file.bytes.size()) ||
      r.strokeBytes < 0)
    return false;
  const std::size_t seg = static_cast<std::size_t>(r.offset);
  const ArcsecPoint first{readInt32(file.bytes, seg), readInt32(file.bytes, seg + 4)};
  const std::int16_t strokeCount = readInt16(file.bytes, seg + 12);
  const auto data = file.bytes.subspan(seg + kCoastlineSegmentHeaderBytes,
                                       static_cast<std::size_t>(r.strokeBytes));
  if (!decodeStrokes(data, strokeBufferWords(file.strokeBound), strokeCount, first, out,
                     keepEvery)) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace tarvo
