// The coastline decoder against stroke words assembled by hand from the
// format's rules, against falsified sizes and offsets, and the shipped files
// against a reference taken from the source polylines.
#include "map/coastline_format.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/map/coastline_bytes.h"

namespace tarvo {
namespace {

using test::assembleCoastlineFile;
using test::SegmentBytes;

std::vector<ArcsecPoint> decodeOnly(const SegmentBytes& s) {
  const auto f = assembleCoastlineFile({s});
  const CoastlineParse parse = parseCoastlineFile(f.bytes);
  EXPECT_EQ(parse.fault, CoastlineFault::None);
  std::vector<ArcsecPoint> points;
  if (parse.file) {
    EXPECT_TRUE(decodeSegmentPoints(*parse.file, 0, points));
  }
  return points;
}

struct StrokeCase {
  const char* what;
  std::int16_t strokes;
  std::vector<std::uint16_t> words;
  std::vector<ArcsecPoint> steps;  // expected point minus first point, per stroke
  friend void PrintTo(const StrokeCase& c, std::ostream* os) { *os << c.what; }
};

class StrokeWords : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeWords, DecodeToTheAccumulatedPoints) {
  const StrokeCase& c = GetParam();
  SegmentBytes s{.rank = 1, .longitude = 500000, .latitude = -20000, .strokes = c.strokes,
                 .words = c.words};
  const std::vector<ArcsecPoint> points = decodeOnly(s);
  ASSERT_EQ(points.size(), c.steps.size() + 1);
  EXPECT_EQ(points[0], (ArcsecPoint{500000, -20000}));
  for (std::size_t k = 0; k < c.steps.size(); ++k)
    EXPECT_EQ(points[k + 1], (ArcsecPoint{500000 + c.steps[k].longitude,
                                          -20000 + c.steps[k].latitude}))
        << "point after stroke " << k + 1;
}

INSTANTIATE_TEST_SUITE_P(
    HandAssembled, StrokeWords,
    ::testing::Values(
        // Flag word 0x4000, then one word per short stroke: sign in bit 15,
        // next-is-short in bit 14, longitude step in bits 8-13 (+64 when
        // negative), signed latitude step in the low byte.
        StrokeCase{"run of short strokes", 5,
                   {0x4000, 0x4102, 0xFFFF, 0xC000, 0x7F7F, 0x3A80},
                   {{1, 2}, {0, 1}, {-64, 1}, {-1, 128}, {57, 0}}},
        // Long strokes: flag without 0x4000, longitude, latitude, a spare
        // word; negative values may come with bit 0x4000 cleared.
        StrokeCase{"long strokes, negative steps", 3,
                   {0x0000, 0xBFFB, 0xBED4, 0x0000,   // -5, -300 (bit 0x4000 cleared)
                    0x0000, 0xFFBA, 0xFF38, 0x0000,   // -70, -200 (stored plainly)
                    0x4000, 0x0203},                  // then a short +2, +3
                   {{-5, -300}, {-75, -500}, {-73, -497}}},
        StrokeCase{"short then long shares the flag word", 2,
                   {0x4000, 0x0110, 0x0050, 0x1000, 0x0000},
                   {{1, 16}, {81, 4112}}},
        StrokeCase{"longitude steps of 100 and more dropped, latitude kept", 4,
                   {0x0000, 0x0064, 0x0007, 0x0000,   // +100, +7: longitude dropped
                    0x0000, 0xFF9C, 0xFFF9, 0x0000,   // -100, -7: longitude dropped
                    0x0000, 0x0063, 0x0001, 0x0000,   // +99, +1: kept
                    0x0000, 0xBC18, 0x0002, 0x0000},  // -1000 (0x4000 cleared), +2: dropped
                   {{0, 7}, {0, 0}, {99, 1}, {99, 3}}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(StrokeBuffer, WordsPastTheStrokeDataReadAsZero) {
  // One short stroke whose value word lies past the recorded stroke bytes;
  // the file's next bytes (a second segment's header) must not be read.
  SegmentBytes cut{.rank = 1, .longitude = 10, .latitude = 20, .strokes = 1,
                   .words = {0x4000, 0x0105}, .strokeBytes = 2};
  SegmentBytes after{.rank = 1, .longitude = 0x0105, .latitude = 0x0105, .strokes = 0, .words = {}};
  const auto f = assembleCoastlineFile({cut, after});
  const CoastlineParse parse = parseCoastlineFile(f.bytes);
  ASSERT_TRUE(parse.file);
  std::vector<ArcsecPoint> points;
  ASSERT_TRUE(decodeSegmentPoints(*parse.file, 0, points));
  EXPECT_EQ(points, (std::vector<ArcsecPoint>{{10, 20}, {10, 20}}));
}

TEST(StrokeBuffer, LongStrokeValuesPastTheDataAreZeroSteps) {
  // Three long strokes in 2 recorded bytes: all values come from the zeros.
  SegmentBytes s{.rank = 1, .longitude = 7, .latitude = 8, .strokes = 3,
                 .words = {0x0000}, .strokeBytes = 2};
  EXPECT_EQ(decodeOnly(s), (std::vector<ArcsecPoint>(4, ArcsecPoint{7, 8})));
}

// Falsified files: each is refused as a whole, never read out of bounds.
struct FaultCase {
  const char* what;
  void (*falsify)(test::FileBytes&);
  CoastlineFault expected;
  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.what; }
};

std::vector<SegmentBytes> twoSegments() {
  return {SegmentBytes{.rank = 1, .longitude = 1, .latitude = 2, .strokes = 2,
                       .words = {0x4000, 0x4101, 0x0101}},
          SegmentBytes{.rank = 3, .longitude = 3, .latitude = 4, .strokes = 1,
                       .words = {0x0000, 0x0001, 0x0001, 0x0000}}};
}

class FalsifiedFile : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FalsifiedFile, IsUnreadable) {
  test::FileBytes f = assembleCoastlineFile(twoSegments());
  ASSERT_EQ(parseCoastlineFile(f.bytes).fault, CoastlineFault::None);
  GetParam().falsify(f);
  const CoastlineParse parse = parseCoastlineFile(f.bytes);
  EXPECT_EQ(parse.fault, GetParam().expected);
  EXPECT_FALSE(parse.file);
  // The drawing's one-pass decoding refuses it alike.
  const CoastlineOutlineDecode decoded = decodeCoastlineOutline(f.bytes, 1);
  EXPECT_EQ(decoded.fault, GetParam().expected);
  EXPECT_FALSE(decoded.outline);
}

using test::putLe;
INSTANTIATE_TEST_SUITE_P(
    Sizes, FalsifiedFile,
    ::testing::Values(
        FaultCase{"header cut short", [](test::FileBytes& f) { f.bytes.resize(39); },
                  CoastlineFault::ShortHeader},
        FaultCase{"index beyond the end",
                  [](test::FileBytes& f) { putLe(f.bytes, 4, f.bytes.size() - 10, 4); },
                  CoastlineFault::BadIndex},
        FaultCase{"negative index offset",
                  [](test::FileBytes& f) { putLe(f.bytes, 4, 0xFFFFFFF0u, 4); },
                  CoastlineFault::BadIndex},
        FaultCase{"more segments than the index holds",
                  [](test::FileBytes& f) { putLe(f.bytes, 8, 3, 4); }, CoastlineFault::BadIndex},
        FaultCase{"huge segment count",
                  [](test::FileBytes& f) { putLe(f.bytes, 8, 0x7FFFFFFF, 4); },
                  CoastlineFault::BadIndex},
        FaultCase{"negative segment count",
                  [](test::FileBytes& f) { putLe(f.bytes, 8, 0xFFFFFFFFu, 4); },
                  CoastlineFault::BadIndex},
        FaultCase{"negative stroke bound",
                  [](test::FileBytes& f) { putLe(f.bytes, 16, 0x80000000u, 4); },
                  CoastlineFault::BadStrokeBound},
        FaultCase{"huge stroke bound",
                  [](test::FileBytes& f) { putLe(f.bytes, 16, 0x7FFFFFFF, 4); },
                  CoastlineFault::BadStrokeBound},
        FaultCase{"segment offset beyond the end",
                  [](test::FileBytes& f) { putLe(f.bytes, 40 + 28 + 20, f.bytes.size(), 4); },
                  CoastlineFault::BadSegmentPlace},
        FaultCase{"negative stroke bytes",
                  [](test::FileBytes& f) { putLe(f.bytes, 40 + 24, 0xFFFE, 2); },
                  CoastlineFault::BadSegmentPlace},
        FaultCase{"stroke bytes past the end of the file",
                  [](test::FileBytes& f) {
                    putLe(f.bytes, 40 + 28 + 24, 200, 2);
                    putLe(f.bytes, 16, 200, 4);
                  },
                  CoastlineFault::BadSegmentPlace},
        FaultCase{"stroke bytes above the bound",
                  [](test::FileBytes& f) { putLe(f.bytes, 16, 6, 4); },
                  CoastlineFault::StrokesOverBound},
        FaultCase{"negative stroke count",
                  [](test::FileBytes& f) { putLe(f.bytes, f.segmentAt[1] + 12, 0xFFFF, 2); },
                  CoastlineFault::BadStrokeCount},
        FaultCase{"stroke count that overruns the buffer",
                  // 8 bytes bound: 2 × 8 + 50 bytes = 33 words; 9 long strokes need 37.
                  [](test::FileBytes& f) { putLe(f.bytes, f.segmentAt[1] + 12, 9, 2); },
                  CoastlineFault::StrokesOverBuffer}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FalsifiedFile, StrokeCountThatJustFitsTheBufferIsRead) {
  // 8 long strokes reach word 30 of 33: inside the zero-filled buffer.
  test::FileBytes f = assembleCoastlineFile(twoSegments());
  putLe(f.bytes, f.segmentAt[1] + 12, 8, 2);
  const CoastlineParse parse = parseCoastlineFile(f.bytes);
  ASSERT_TRUE(parse.file);
  std::vector<ArcsecPoint> points;
  ASSERT_TRUE(decodeSegmentPoints(*parse.file, 1, points));
  EXPECT_EQ(points.size(), 9u);
  EXPECT_EQ(points.back(), (ArcsecPoint{4, 5}));  // only the first stroke moves
}

// The shipped files hold every source polyline: the reference lists, per
// polyline, its file, rank and vertex count and every 256th vertex (and the
// last) in whole seconds of arc, made from the source text independently of
// the packer. The decoded points accumulate every step, so a single wrong or
// lost step shows at the next listed vertex.
struct ReferencePolyline {
  int file, rank, vertices;
  std::vector<ArcsecPoint> listed;  // vertices 0, 256, 512, ... and the last
};

std::vector<ReferencePolyline> readReference(const std::string& path) {
  std::ifstream in(path);
  std::vector<ReferencePolyline> all;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    if (line[0] == 'P') {
      char tag;
      ReferencePolyline p{};
      fields >> tag >> p.file >> p.rank >> p.vertices;
      all.push_back(p);
    } else if (!all.empty()) {
      ArcsecPoint v{};
      fields >> v.longitude >> v.latitude;
      all.back().listed.push_back(v);
    }
  }
  return all;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShippedFiles, HoldEverySourceVertexInOrder) {
  const auto reference = readReference(TARVO_TEST_DATA_DIR "/map/coastline_reference.txt");
  ASSERT_EQ(reference.size(), 1847u + 33u);
  std::size_t polylinesFound = 0;
  for (int fileIndex = 0; fileIndex < 5; ++fileIndex) {
    const std::string name(kCoastlineFileNames[fileIndex]);
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> bytes = readFileBytes(TARVO_COASTLINE_DIR "/" + name);
    const CoastlineParse parse = parseCoastlineFile(bytes);
    ASSERT_TRUE(parse.file) << "fault " << static_cast<int>(parse.fault);
    const CoastlineFile& file = *parse.file;
    std::size_t segment = 0;
    std::vector<ArcsecPoint> points;
    for (std::size_t r = 0; r < reference.size(); ++r) {
      const ReferencePolyline& p = reference[r];
      if (p.file != fileIndex) continue;
      SCOPED_TRACE("polyline " + std::to_string(r));
      // The polyline's points: the segments from here on, until its last
      // vertex ends a segment.
      std::size_t listed = 0;
      int lastListedVertex = 0;
      std::size_t decodedSinceListed = 0;
      std::size_t decoded = 0;
      bool ended = false;
      while (!ended && segment < file.segments.size()) {
        ASSERT_EQ(file.segments[segment].rank, p.rank);
        ASSERT_TRUE(decodeSegmentPoints(file, segment, points));
        ++segment;
        for (std::size_t k = 0; k < points.size() && !ended; ++k) {
          ++decoded;
          ++decodedSinceListed;
          const int vertex = listed + 1 == p.listed.size()
                                 ? p.vertices - 1
                                 : static_cast<int>(listed) * 256;
          // A listed vertex can be found no sooner than the vertices before it allow.
          if (listed == 0) {
            ASSERT_EQ(points[0], p.listed[0]) << "first vertex starts a segment";
            listed = 1;
            decodedSinceListed = 0;
            if (p.listed.size() == 1) ended = k + 1 == points.size();
            continue;
          }
          if (decodedSinceListed >= static_cast<std::size_t>(vertex - lastListedVertex) &&
              points[k] == p.listed[listed]) {
            lastListedVertex = vertex;
            decodedSinceListed = 0;
            ++listed;
            if (listed == p.listed.size()) {
              ASSERT_EQ(k + 1, points.size()) << "the last vertex ends a segment";
              ended = true;
            }
          }
        }
      }
      ASSERT_TRUE(ended) << "listed vertex " << listed << " of " << p.listed.size()
                         << " not found";
      EXPECT_GE(decoded, static_cast<std::size_t>(p.vertices));
      ++polylinesFound;
    }
    EXPECT_EQ(segment, file.segments.size()) << "segments beyond the listed polylines";
  }
  EXPECT_EQ(polylinesFound, reference.size());
}

}  // namespace
}  // namespace tarvo
