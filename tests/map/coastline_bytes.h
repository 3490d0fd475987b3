// Test helper: assembles coastline files byte by byte from the format's
// layout (header, 28-byte index records, 16-byte segment headers, stroke
// words), with every size and offset open to being falsified.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tarvo::test {

struct SegmentBytes {
  std::int16_t rank = 1;
  std::int32_t longitude = 0;  // first point, seconds of arc
  std::int32_t latitude = 0;
  std::int16_t strokes = 0;
  std::vector<std::uint16_t> words;
  int strokeBytes = -1;  // as recorded in the index; -1: 2 × words
};

inline void putLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int width) {
  for (int k = 0; k < width; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

struct FileBytes {
  std::vector<std::uint8_t> bytes;
  std::size_t indexAt = 40;
  std::vector<std::size_t> segmentAt;
};

// Header, index right after it, segments after the index; the bound is the
// largest recorded stroke length unless given.
inline FileBytes assembleCoastlineFile(const std::vector<SegmentBytes>& segments, int bound = -1) {
  FileBytes f;
  const std::size_t count = segments.size();
  std::size_t at = 40 + 28 * count;
  int largest = 0;
  for (const SegmentBytes& s : segments) {
    const int length = s.strokeBytes >= 0 ? s.strokeBytes : static_cast<int>(2 * s.words.size());
    largest = std::max(largest, length);
    f.segmentAt.push_back(at);
    at += 16 + 2 * s.words.size();
  }
  f.bytes.assign(at, 0);
  putLe(f.bytes, 4, 40, 4);
  putLe(f.bytes, 8, static_cast<std::uint32_t>(count), 4);
  putLe(f.bytes, 12, static_cast<std::uint32_t>(28 * count), 4);
  putLe(f.bytes, 16, static_cast<std::uint32_t>(bound >= 0 ? bound : largest), 4);
  for (std::size_t j = 0; j < count; ++j) {
    const SegmentBytes& s = segments[j];
    const std::size_t rec = 40 + 28 * j;
    const int length = s.strokeBytes >= 0 ? s.strokeBytes : static_cast<int>(2 * s.words.size());
    putLe(f.bytes, rec + 20, static_cast<std::uint32_t>(f.segmentAt[j]), 4);
    putLe(f.bytes, rec + 24, static_cast<std::uint16_t>(length), 2);
    putLe(f.bytes, rec + 26, static_cast<std::uint16_t>(s.rank), 2);
    const std::size_t seg = f.segmentAt[j];
    putLe(f.bytes, seg, static_cast<std::uint32_t>(s.longitude), 4);
    putLe(f.bytes, seg + 4, static_cast<std::uint32_t>(s.latitude), 4);
    putLe(f.bytes, seg + 12, static_cast<std::uint16_t>(s.strokes), 2);
    for (std::size_t w = 0; w < s.words.size(); ++w) putLe(f.bytes, seg + 16 + 2 * w, s.words[w], 2);
  }
  return f;
}

inline bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace tarvo::test
