// Drawing the coastline files: which points of a segment appear, which
// segments are left out, and what a missing or damaged file does, probed as pixels on a
// 1280 × 800 map centred on Greenwich.
#include "map/coastline_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "map/projection.h"
#include "map/world_map.h"
#include "tests/map/coastline_bytes.h"

namespace tarvo {
namespace {

using test::assembleCoastlineFile;
using test::SegmentBytes;

constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr int kDegree = 3600;  // seconds of arc

struct Probe {
  DrawingSurface surface{1280, 800};
  MapFrame frame = layoutMap(0, 0, 1280, 800);
  MapPen pen;
  // The pixel of a longitude and latitude (degrees), as the projection puts it.
  Rgb at(double lon, double lat) const {
    const MapOffset o = projectToMap(frame, lon, lat);
    return surface.pixel(frame.centreX + o.x, frame.centreY - o.y);
  }
};

// n long strokes straight north, 0.1° each: after stroke k the point lies
// at latitude startLat + k / 10.
SegmentBytes northward(int lonDeg, int latDeg, int n, std::int16_t rank = 1) {
  SegmentBytes s{.rank = rank, .longitude = lonDeg * kDegree, .latitude = latDeg * kDegree,
                 .strokes = static_cast<std::int16_t>(n), .words = {}};
  for (int k = 0; k < n; ++k) s.words.insert(s.words.end(), {0x0000, 0x0000, 360, 0x0000});
  return s;
}

void drawOne(Probe& p, const std::vector<SegmentBytes>& segments) {
  const auto f = assembleCoastlineFile(segments);
  const CoastlineOutlineDecode decoded = decodeCoastlineOutline(f.bytes, kCoastlineDecimation);
  ASSERT_TRUE(decoded.outline);
  drawCoastlineOutline(p.surface, p.frame, p.pen, *decoded.outline);
}

TEST(CoastlineDecimation, NinetyNineStrokesDrawTheFirstPointOnly) {
  Probe p;
  drawOne(p, {northward(20, 0, 99)});
  EXPECT_EQ(p.at(20, 0), kWhite);
  for (double lat : {1.0, 5.0, 9.8}) EXPECT_NE(p.at(20, lat), kWhite) << lat;
}

TEST(CoastlineDecimation, TwoHundredFiftyStrokesDrawThreePoints) {
  // Points after strokes 100 and 200 (10° and 20° north) joined to the first;
  // the last 50 strokes (to 25°) are not drawn.
  Probe p;
  drawOne(p, {northward(20, 0, 250)});
  for (double lat : {0.0, 5.0, 10.0, 15.0, 19.5}) EXPECT_EQ(p.at(20, lat), kWhite) << lat;
  for (double lat : {21.0, 23.0, 24.9}) EXPECT_NE(p.at(20, lat), kWhite) << lat;
}

TEST(CoastlineSegments, RankAboveTwoIsNotDrawn) {
  Probe p;
  drawOne(p, {northward(-40, 0, 100, 3), northward(40, 0, 100, 2)});
  EXPECT_NE(p.at(-40, 5), kWhite);
  EXPECT_EQ(p.at(40, 5), kWhite);
}

TEST(CoastlineSegments, FirstPointBeyondTheMarginDropsTheSegment) {
  // 85°N lies far above the map's top (80°N); 81°N within 28 pixels of it.
  // Both then run south into the map, 10° per drawn point.
  Probe p;
  SegmentBytes far = northward(-60, 85, 300);
  SegmentBytes near = northward(60, 81, 300);
  for (SegmentBytes* s : {&far, &near})
    for (std::size_t w = 2; w < s->words.size(); w += 4) s->words[w] = 0xBE98;  // −360, bit 0x4000 cleared
  drawOne(p, {far, near});
  EXPECT_NE(p.at(-60, 70), kWhite);
  EXPECT_EQ(p.at(60, 66), kWhite);
}

// The five files in a scratch directory: each with one segment of 100
// strokes northward from a point on its continent.
class CoastlineFileSet : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("coastline_files_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(int fileIndex) {
    const auto f = assembleCoastlineFile({northward(kLongitudes[fileIndex], 30, 100)});
    ASSERT_TRUE(test::writeBytes((dir_ / std::string(kCoastlineFileNames[fileIndex])).string(),
                                 f.bytes));
  }
  bool drawnFor(const Probe& p, int fileIndex) const {
    return p.at(kLongitudes[fileIndex], 35) == kWhite;
  }
  static bool labelShown(const Probe& p) {
    int white = 0;
    for (int y = 15; y < 15 + p.surface.textHeight(); ++y)
      for (int x = 300; x < 300 + p.surface.textWidth(kCoastlineMissingText); ++x)
        white += p.surface.pixel(x, y) == kWhite;
    return white > 20;
  }
  static constexpr int kLongitudes[5] = {100, 10, 30, -100, -60};  // as, eu, af, na, sa
  std::filesystem::path dir_;
};

TEST_F(CoastlineFileSet, AllFivePresentAreDrawnWithoutTheLabel) {
  for (int i = 0; i < 5; ++i) write(i);
  Probe p;
  const CoastlineDrawing drawn = drawCoastlineFiles(p.surface, p.frame, p.pen, dir_.string());
  EXPECT_EQ(drawn.filesDrawn, 5);
  EXPECT_EQ(drawn.problem, "");
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(drawnFor(p, i)) << i;
  EXPECT_FALSE(labelShown(p));
}

// Africa's file damaged in one way each: the label, the file and the reason
// named, and the built-in outline instead of any file (America's files after
// it are present but not read).
struct DamagedCoastline {
  const char* name;
  std::function<void(const std::filesystem::path&)> damage;
  const char* reason;
};

class DamagedCoastlineFile : public CoastlineFileSet,
                             public ::testing::WithParamInterface<DamagedCoastline> {};

TEST_P(DamagedCoastlineFile, DrawsTheBuiltInOutlineAndNamesTheFile) {
  for (int i = 0; i < 5; ++i) write(i);
  const std::filesystem::path africa = dir_ / "af_cil.cbd";
  std::filesystem::remove(africa);
  GetParam().damage(africa);
  Probe p;
  const CoastlineDrawing drawn = drawCoastlineFiles(p.surface, p.frame, p.pen, dir_.string());
  EXPECT_EQ(drawn.filesDrawn, 0);
  EXPECT_EQ(drawn.problem, std::string("af_cil.cbd: ") + GetParam().reason);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(drawnFor(p, i)) << i;
  EXPECT_TRUE(labelShown(p));
  Probe builtIn;
  drawBuiltInOutline(builtIn.surface, builtIn.frame, builtIn.pen);
  int outlinePixels = 0, missing = 0;
  for (int y = 40; y < 800; ++y)
    for (int x = 0; x < 1280; ++x) {
      if (builtIn.surface.pixel(x, y) != kWhite) continue;
      ++outlinePixels;
      missing += p.surface.pixel(x, y) != kWhite;
    }
  EXPECT_GT(outlinePixels, 1000);
  EXPECT_EQ(missing, 0);
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  ASSERT_TRUE(test::writeBytes(path.string(), bytes));
}

std::vector<std::uint8_t> validFile() { return assembleCoastlineFile({northward(30, 30, 100)}).bytes; }

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedCoastlineFile,
    ::testing::Values(
        DamagedCoastline{"Missing", [](const std::filesystem::path&) {}, "No such file or directory"},
        DamagedCoastline{"Empty", [](const std::filesystem::path& f) { writeFile(f, {}); }, "empty"},
        DamagedCoastline{"Truncated",
                         [](const std::filesystem::path& f) {
                           auto b = validFile();
                           b.resize(b.size() - 9);
                           writeFile(f, b);
                         },
                         "a segment lies outside the file"},
        DamagedCoastline{"ShortOfItsHeader",
                         [](const std::filesystem::path& f) { writeFile(f, std::vector<std::uint8_t>(30, 0x5a)); },
                         "shorter than its 40-byte header"},
        DamagedCoastline{"LyingAboutItsSizes",
                         [](const std::filesystem::path& f) {
                           auto b = validFile();
                           test::putLe(b, 8, 1000, 4);  // more segments than the index holds
                           writeFile(f, b);
                         },
                         "its segment index lies outside the file"},
        DamagedCoastline{"StrokeLeadingOffTheGlobe",
                         [](const std::filesystem::path& f) {
                           SegmentBytes s = northward(30, 30, 100);
                           s.words[2] = 0x3000;  // one stroke of 3.4° north: the line passes 90°
                           for (std::size_t w = 6; w < s.words.size(); w += 4) s.words[w] = 0x3000;
                           writeFile(f, assembleCoastlineFile({s}).bytes);
                         },
                         "a segment's strokes lead off the globe"},
        DamagedCoastline{"Folder", [](const std::filesystem::path& f) { std::filesystem::create_directory(f); },
                         "Is a directory"},
        DamagedCoastline{"Pipe", [](const std::filesystem::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
                         "not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedCoastlines, DrawLandWhereTheCoastIs) {
  // A few coast points well inside their files' polylines, and open ocean.
  Probe p;
  ASSERT_EQ(drawCoastlineFiles(p.surface, p.frame, p.pen, TARVO_COASTLINE_DIR).filesDrawn, 5);
  int white = 0;
  for (int y = p.frame.top; y <= p.frame.bottom; ++y)
    for (int x = p.frame.left; x <= p.frame.right; ++x) white += p.surface.pixel(x, y) == kWhite;
  EXPECT_GT(white, 5000);
  EXPECT_NE(p.at(-150, -30), kWhite);  // South Pacific
  EXPECT_NE(p.at(-30, 30), kWhite);    // North Atlantic
}

}  // namespace
}  // namespace tarvo
