// Pixel semantics of the raster surface, probed at known places.
#include "surface/drawing_surface.h"
#include "tests/tolerances.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <utility>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>
#include <unistd.h>

namespace tarvo {
namespace {

constexpr Rgb kBlack = colorTable[0];
constexpr Rgb kWhite = colorTable[15];

int countColour(const DrawingSurface& s, Rgb c) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) == c;
  return n;
}

bool isDiagonalCross(int x, int y) { return (x - y) % 8 == 0 || ((x + y) % 8 + 8) % 8 == 7; }

TEST(DrawingSurfacePalette, PngKeepsRedGreenBlueInPlace) {
  DrawingSurface s(16, 4);
  for (int i = 0; i < 16; ++i) plot(s, i, 1, static_cast<PaletteIndex>(i));
  const std::string path =
      (std::filesystem::temp_directory_path() / ("surface_" + std::to_string(getpid()) + ".png"))
          .string();
  ASSERT_TRUE(s.savePng(path).written());
  const QImage back(QString::fromStdString(path));
  std::remove(path.c_str());
  ASSERT_FALSE(back.isNull());
  const QColor brown = back.pixelColor(6, 1);
  EXPECT_EQ(brown.red(), 170);
  EXPECT_EQ(brown.green(), 68);
  EXPECT_EQ(brown.blue(), 0);
  const QColor orange = back.pixelColor(12, 1);
  EXPECT_EQ(orange.red(), 255);
  EXPECT_EQ(orange.green(), 102);
  EXPECT_EQ(orange.blue(), 0);
  EXPECT_EQ(back.pixelColor(1, 1), QColor(0, 0, 255));  // blue is index 1
  EXPECT_EQ(back.pixelColor(3, 0), QColor(0, 0, 0));
  EXPECT_EQ(s.savePng("/nonexistent-dir/x.png").error, std::strerror(ENOENT));
}

TEST(DrawingSurfaceLines, SegmentsLeaveOutTheirLastPixel) {
  DrawingSurface s(40, 40);
  drawLine(s, 2, 3, 7, 3, PaletteIndex::Red);
  for (int x = 2; x < 7; ++x) EXPECT_EQ(s.pixel(x, 3), colorTable[4]) << x;
  EXPECT_EQ(s.pixel(7, 3), kBlack);
  EXPECT_EQ(s.pixel(1, 3), kBlack);
  drawLine(s, 30, 20, 30, 10, PaletteIndex::Green);  // upwards
  EXPECT_EQ(s.pixel(30, 20), colorTable[2]);
  EXPECT_EQ(s.pixel(30, 11), colorTable[2]);
  EXPECT_EQ(s.pixel(30, 10), kBlack);
  drawLine(s, 9, 9, 9, 9, PaletteIndex::Green);  // zero length draws nothing
  EXPECT_EQ(s.pixel(9, 9), kBlack);

  // A closed polyline: each corner is drawn by the segment that starts there.
  DrawingSurface p(20, 20);
  moveTo(p, 2, 2);
  lineToColour(p, 12, 2, PaletteIndex::White);
  lineToColour(p, 12, 9, PaletteIndex::White);
  lineToColour(p, 2, 9, PaletteIndex::White);
  lineToColour(p, 2, 2, PaletteIndex::White);
  for (auto [x, y] : {std::pair{2, 2}, {12, 2}, {12, 9}, {2, 9}}) EXPECT_EQ(p.pixel(x, y), kWhite);
  EXPECT_EQ(countColour(p, kWhite), 2 * 10 + 2 * 7);
  EXPECT_EQ(p.currentPosition()->x, 2);
}

// One pixel per step of the major axis, within half a pixel of the ideal
// line and 8-connected, for slopes in every octant.
TEST(DrawingSurfaceLines, GeneralSlopesFollowTheIdealLine) {
  const int ends[][4] = {{5, 5, 60, 23}, {60, 23, 5, 5}, {10, 50, 17, 2}, {50, 8, 3, 40}};
  for (const auto& e : ends) {
    DrawingSurface s(64, 64);
    drawLine(s, e[0], e[1], e[2], e[3], PaletteIndex::White);
    const int dx = e[2] - e[0], dy = e[3] - e[1];
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int steps = std::max(std::abs(dx), std::abs(dy));
    EXPECT_EQ(countColour(s, kWhite), steps);
    for (int i = 0; i < steps; ++i) {
      const int major = (xMajor ? e[0] : e[1]) + (xMajor ? (dx > 0 ? i : -i) : (dy > 0 ? i : -i));
      const double ideal = xMajor ? e[1] + dy * double(major - e[0]) / dx
                                  : e[0] + dx * double(major - e[1]) / dy;
      int hits = 0;
      for (int m = 0; m < 64; ++m) {
        if ((xMajor ? s.pixel(major, m) : s.pixel(m, major)) != kWhite) continue;
        ++hits;
        EXPECT_LE(std::fabs(m - ideal), 0.5 + 1e-9) << "major " << major;
      }
      EXPECT_EQ(hits, 1) << "major " << major;
    }
  }
}

TEST(DrawingSurfaceLines, WidePensAreCentredWithTheExtraPixelRightAndDown) {
  DrawingSurface s(64, 64);
  s.setPen({kWhite, 3});
  s.moveTo(10, 20);
  s.lineTo(30, 20);
  for (int y : {19, 20, 21}) EXPECT_EQ(s.pixel(15, y), kWhite) << y;
  EXPECT_EQ(s.pixel(15, 18), kBlack);
  EXPECT_EQ(s.pixel(15, 22), kBlack);
  EXPECT_EQ(s.pixel(30, 20), kBlack);

  s.setPen({colorTable[4], 2});
  s.moveTo(40, 5);
  s.lineTo(40, 30);
  EXPECT_EQ(s.pixel(40, 10), colorTable[4]);
  EXPECT_EQ(s.pixel(41, 10), colorTable[4]);
  EXPECT_EQ(s.pixel(39, 10), kBlack);
  EXPECT_EQ(s.pixel(42, 10), kBlack);

  // The information panel's frame: strokes two pixels wide on every side.
  DrawingSurface panel(240, 400);
  drawFrame(panel, 5, 5, 220, 389, PaletteIndex::Brown, 2);
  const Rgb brown = colorTable[6];
  for (int x : {5, 6, 219, 220}) EXPECT_EQ(panel.pixel(x, 200), brown) << x;
  for (int x : {4, 7, 218, 221}) EXPECT_EQ(panel.pixel(x, 200), kBlack) << x;
  for (int y : {5, 6, 388, 389}) EXPECT_EQ(panel.pixel(100, y), brown) << y;
  for (int y : {4, 7, 387, 390}) EXPECT_EQ(panel.pixel(100, y), kBlack) << y;
  EXPECT_EQ(panel.pen().width, 1);  // the primitive put the old pen back
}

TEST(DrawingSurfaceShapes, RectanglesAndEllipsesLeaveOutRightAndBottom) {
  DrawingSurface s(64, 64);
  fillBox(s, 2, 2, 6, 5, PaletteIndex::Yellow);
  EXPECT_EQ(countColour(s, colorTable[14]), 4 * 3);
  EXPECT_EQ(s.pixel(5, 4), colorTable[14]);
  EXPECT_EQ(s.pixel(6, 4), kBlack);
  EXPECT_EQ(s.pixel(5, 5), kBlack);
  fillBox(s, 6, 5, 2, 2, PaletteIndex::LightBlue);  // corners in either order
  EXPECT_EQ(countColour(s, colorTable[9]), 4 * 3);

  drawFrame(s, 10, 10, 20, 16, PaletteIndex::White, 1);
  EXPECT_EQ(countColour(s, kWhite), 2 * 10 + 2 * 4);
  EXPECT_EQ(s.pixel(19, 15), kWhite);
  EXPECT_EQ(s.pixel(15, 12), kBlack);  // hollow

  // Filled circle of radius 3: a 6×6 box, symmetric about its centre lines.
  DrawingSurface c(64, 64);
  fillCircle(c, 30, 30, 3, PaletteIndex::Yellow);
  int n = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 20; x < 40; ++x) {
      const bool in = c.pixel(x, y) == colorTable[14];
      n += in;
      if (in) {
        EXPECT_TRUE(x >= 27 && x < 33 && y >= 27 && y < 33) << x << "," << y;
        EXPECT_EQ(c.pixel(59 - x, y), colorTable[14]);
        EXPECT_EQ(c.pixel(x, 59 - y), colorTable[14]);
      }
    }
  EXPECT_GE(n, 24);
  EXPECT_LT(n, 36);
  EXPECT_EQ(c.pixel(29, 29), colorTable[14]);

  // Radius 0: nothing visible, or a single point.
  DrawingSurface z(8, 8);
  drawCircle(z, 4, 4, 0, PaletteIndex::White);
  EXPECT_LE(countColour(z, kWhite), 1);

  // An outlined circle keeps a 4-connected fill inside it.
  DrawingSurface o(64, 64);
  drawCircle(o, 32, 32, 12, PaletteIndex::LightBlue);
  EXPECT_EQ(o.pixel(32, 32), kBlack);
  o.setBrush({BrushStyle::Solid, colorTable[2]});
  o.floodFill(32, 32, colorTable[9]);
  EXPECT_EQ(o.pixel(0, 0), kBlack);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (o.pixel(x, y) == colorTable[2]) {
        EXPECT_LT(std::hypot(x + 0.5 - 32, y + 0.5 - 32), 12.0);
      }
}

TEST(DrawingSurfaceFill, StopsAtTheBorderAndNotThroughDiagonals) {
  DrawingSurface s(50, 50);
  drawFrame(s, 10, 10, 30, 25, PaletteIndex::Red, 1);
  s.setBrush({BrushStyle::Solid, colorTable[2]});
  s.floodFill(15, 15, colorTable[4]);
  EXPECT_EQ(countColour(s, colorTable[2]), 18 * 13);
  EXPECT_EQ(s.pixel(5, 5), kBlack);
  // Seeds on the border colour or off the image fill nothing.
  s.setBrush({BrushStyle::Solid, colorTable[5]});
  s.floodFill(10, 10, colorTable[4]);
  s.floodFill(-1, 5, colorTable[4]);
  s.floodFill(50, 5, colorTable[4]);
  s.floodFill(std::nan(""), 5, colorTable[4]);
  EXPECT_EQ(countColour(s, colorTable[5]), 0);
  // Refilling with the colour already there still ends, and fills the same.
  s.setBrush({BrushStyle::Solid, colorTable[2]});
  s.floodFill(12, 12, colorTable[4]);
  EXPECT_EQ(countColour(s, colorTable[2]), 18 * 13);

  // Lines of any slope are 8-connected and hold a 4-connected fill.
  for (int endY : {50, 20, 7}) {
    DrawingSurface d(50, 50);
    drawLine(d, 0, 0, 50, endY, PaletteIndex::White);
    drawLine(d, 49, 0, 49, 50, PaletteIndex::White);  // closes the wedge on the right
    d.setBrush({BrushStyle::Solid, colorTable[2]});
    d.floodFill(48, 1, kWhite);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 49; ++x)
        if (d.pixel(x, y) == colorTable[2]) {
          EXPECT_LT(y * 50, x * endY + 50) << x << "," << y;
        }
    EXPECT_EQ(d.pixel(1, 49), kBlack) << endY;
  }
}

// Against a plain breadth-first fill on a scattered border with pixels
// already in the fill colour and a barrier box: the same region, whatever
// the run structure.
TEST(DrawingSurfaceFill, MatchesABreadthFirstFillOnScatteredBorders) {
  const int w = 150, h = 97;
  for (unsigned seed : {1u, 7u, 42u}) {
    DrawingSurface s(w, h);
    std::vector<int> border(w * h, 0);
    unsigned lcg = seed;
    for (int i = 0; i < w * h; ++i) {
      lcg = lcg * 1664525u + 1013904223u;
      const unsigned r = (lcg >> 16) % 100;
      if (r < 38) {
        border[i] = 1;
        plot(s, i % w, i / w, PaletteIndex::Red);
      } else if (r < 45) {
        plot(s, i % w, i / w, PaletteIndex::Green);  // already the fill colour
      }
    }
    // A barrier box counts as border without being drawn.
    const std::vector<FillBarrier> barriers{{20, 10, 61, 31}};
    for (int y = 10; y <= 30; ++y)
      for (int x = 20; x <= 60; ++x) border[y * w + x] = 1;
    const int sx = 75, sy = 48;
    border[sy * w + sx] = 0;
    plot(s, sx, sy, PaletteIndex::Black);
    std::vector<int> reached(w * h, 0), queue{sy * w + sx};
    reached[sy * w + sx] = 1;
    for (std::size_t q = 0; q < queue.size(); ++q) {
      const int x = queue[q] % w, y = queue[q] / w;
      const int nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
      for (int k = 0; k < 4; ++k) {
        if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
        const int j = ny[k] * w + nx[k];
        if (border[j] || reached[j]) continue;
        reached[j] = 1;
        queue.push_back(j);
      }
    }
    ASSERT_GT(queue.size(), 50u) << seed;
    s.setBrush({BrushStyle::Solid, colorTable[2]});
    s.floodFill(sx, sy, colorTable[4], barriers);
    s.setBrush({BrushStyle::Solid, colorTable[14]});
    s.floodFill(sx, sy, colorTable[4], barriers);  // the refill shows exactly the region
    for (int i = 0; i < w * h; ++i) {
      const bool filled = s.pixel(i % w, i / w) == colorTable[14];
      ASSERT_EQ(filled, reached[i] == 1) << "seed " << seed << " at " << i % w << "," << i / w;
    }
  }
}

TEST(DrawingSurfaceFill, HatchIsAlignedToTheOriginInBothBackgroundModes) {
  DrawingSurface s(37, 29);
  s.setBrush({BrushStyle::DiagonalCross, colorTable[1]});
  s.setBackgroundMode(BackgroundMode::Transparent);
  s.floodFill(20, 13, colorTable[1]);  // border colour = hatch colour, as the map does
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      ASSERT_EQ(s.pixel(x, y), isDiagonalCross(x, y) ? colorTable[1] : kBlack) << x << "," << y;

  DrawingSurface o(24, 24);
  o.clear(colorTable[8]);
  o.setBackgroundColour(colorTable[11]);
  o.setBackgroundMode(BackgroundMode::Opaque);
  o.setBrush({BrushStyle::DiagonalCross, colorTable[6]});
  o.floodFill(3, 3, colorTable[0]);
  for (int y = 0; y < o.height(); ++y)
    for (int x = 0; x < o.width(); ++x)
      ASSERT_EQ(o.pixel(x, y), isDiagonalCross(x, y) ? colorTable[6] : colorTable[11]);

  // Hatching in the border colour inside a frame of that colour stays inside.
  DrawingSurface f(40, 40);
  drawFrame(f, 5, 5, 30, 30, PaletteIndex::Brown, 1);
  f.setBrush({BrushStyle::DiagonalCross, colorTable[6]});
  f.setBackgroundMode(BackgroundMode::Transparent);
  f.floodFill(17, 18, colorTable[6]);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x > 5 && x < 29 && y > 5 && y < 29;
      const bool frame = ((x == 5 || x == 29) && y >= 5 && y <= 29) ||
                         ((y == 5 || y == 29) && x >= 5 && x <= 29);
      const Rgb want = frame || (inside && isDiagonalCross(x, y)) ? colorTable[6] : kBlack;
      ASSERT_EQ(f.pixel(x, y), want) << x << "," << y;
    }
}

TEST(DrawingSurfaceClipping, FarAndNonFiniteCoordinates) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  DrawingSurface s(30, 20);
  drawLine(s, -1e9, 5, 1e9, 5, PaletteIndex::White);
  for (int x = 0; x < 30; ++x) EXPECT_EQ(s.pixel(x, 5), kWhite);
  drawLine(s, -1e9, -1e9, 1e9, 1e9, PaletteIndex::Red);  // through (i, i)
  for (int i = 0; i < 20; ++i) EXPECT_EQ(s.pixel(i, i), colorTable[4]) << i;
  EXPECT_EQ(countColour(s, colorTable[4]), 20);

  DrawingSurface n(30, 20);
  drawLine(n, inf, 5, 10, 10, PaletteIndex::White);
  drawLine(n, 5, 5, nan, 10, PaletteIndex::White);
  EXPECT_FALSE(n.currentPosition().has_value());
  lineToColour(n, 20, 15, PaletteIndex::White);  // from a lost position: nothing, but it moves
  fillBox(n, -1e300, -1e300, 1e300, 1e300, PaletteIndex::White);
  fillCircle(n, 10, 10, nan, PaletteIndex::White);
  drawFrame(n, 0, 0, inf, 10, PaletteIndex::White, 2);
  plot(n, nan, 3, PaletteIndex::White);
  plot(n, -1, 3, PaletteIndex::White);
  plot(n, 30, 3, PaletteIndex::White);
  drawText(n, nan, 5, "X");
  drawText(n, 1e12, 5, "X");
  EXPECT_EQ(countColour(n, kBlack), 30 * 20);
  lineToColour(n, 23, 15, PaletteIndex::White);
  EXPECT_EQ(countColour(n, kWhite), 3);

  // A scale computed for a 1-pixel window: boxes and circles far larger
  // than the image cover it and stop at its edges.
  DrawingSurface b(30, 20);
  fillCircle(b, 15, 10, 1e9, PaletteIndex::LightBlue);
  EXPECT_EQ(countColour(b, colorTable[9]), 30 * 20);
  drawFrame(b, -1e9, -1e9, 1e9, 1e9, PaletteIndex::Red, 3);
  fillBox(b, 29, 19, 1e15, 1e15, PaletteIndex::Green);
  EXPECT_EQ(b.pixel(29, 19), colorTable[2]);
  EXPECT_EQ(countColour(b, colorTable[9]), 30 * 20 - 1);
}

TEST(DrawingSurfaceText, OpaqueErrorTextIsWhiteOnBlackAfterAClear) {
  DrawingSurface s(400, 60);
  EXPECT_EQ(s.backgroundColour(), kWhite);
  s.clear(kBlack);
  EXPECT_EQ(s.backgroundColour(), kBlack);
  s.setTextColour(kWhite);
  drawText(s, 50, 16, "NO LOCATION.ENG FILE!!");
  const int cellW = 7 * 22, cellH = s.textHeight();
  EXPECT_GE(cellH, 12);
  EXPECT_LE(cellH, 16);
  int white = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 400; ++x) {
      const Rgb c = s.pixel(x, y);
      ASSERT_TRUE(c == kWhite || c == kBlack) << "anti-aliased pixel at " << x << "," << y;
      if (c == kWhite) {
        ++white;
        EXPECT_TRUE(x >= 50 && x < 50 + cellW && y >= 16 && y < 16 + cellH) << x << "," << y;
      }
    }
  EXPECT_GT(white, 22 * 8);
  EXPECT_LT(white, cellW * cellH / 2);
  // No display is needed: the surface brought up the offscreen platform.
  EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
}

TEST(DrawingSurfaceText, FontsPitchAndBackgroundModes) {
  // Every glyph of the text font sits on a 7-pixel pitch: "NNNN" repeats.
  DrawingSurface s(100, 30);
  s.setTextColour(kWhite);
  s.setBackgroundMode(BackgroundMode::Transparent);
  drawText(s, 10, 5, "NNNN");
  for (int y = 0; y < 30; ++y)
    for (int x = 10; x < 17; ++x)
      for (int k = 1; k < 4; ++k) ASSERT_EQ(s.pixel(x, y), s.pixel(x + 7 * k, y)) << x << "," << y;
  EXPECT_GT(countColour(s, kWhite), 4 * 6);
  EXPECT_EQ(s.textWidth("NNNN"), 28);

  // Opaque mode fills the cell with the background colour.
  DrawingSurface o(100, 30);
  o.clear(colorTable[2]);
  o.setBackgroundColour(colorTable[4]);
  o.setBackgroundMode(BackgroundMode::Opaque);
  o.setTextColour(kWhite);
  drawText(o, 3, 4, "A B");
  EXPECT_EQ(o.pixel(3 + 7 + 3, 4 + 2), colorTable[4]);  // inside the blank's cell
  EXPECT_EQ(o.pixel(3 + 21, 4), colorTable[2]);         // just past the cell

  // The chart font is proportional.
  s.setFont(FontRecipe::Chart);
  EXPECT_LT(s.textWidth("iiii"), s.textWidth("WWWW"));
  DrawingSurface c(100, 30);
  c.setFont(FontRecipe::Chart);
  c.setTextColour(colorTable[14]);
  drawText(c, 5, 5, "Sirius");
  EXPECT_GT(countColour(c, colorTable[14]), 10);
}

// A surface of scale 2 keeps the layout of scale 1 at twice the pixels: the
// shapes drawn at whole coordinates along the axes (boxes, frames, dots,
// straight lines, hatching and the fills that stop at them) are the scale-1
// picture with each pixel a 2 × 2 block.
TEST(DrawingSurfaceScale, WholeCoordinateShapesAreTwiceAsLarge) {
  auto draw = [](DrawingSurface& s) {
    s.clear(colorTable[8]);
    fillBox(s, 2, 3, 20, 9, PaletteIndex::Red);
    drawFrame(s, 24, 2, 60, 40, PaletteIndex::Brown, 2);
    drawFrame(s, 30, 8, 50, 30, PaletteIndex::Brown, 1);
    s.setBrush({BrushStyle::DiagonalCross, colorTable[6]});
    s.setBackgroundMode(BackgroundMode::Transparent);
    s.floodFill(40, 20, colorTable[6]);
    s.setBackgroundMode(BackgroundMode::Opaque);
    s.setBackgroundColour(colorTable[11]);
    s.setBrush({BrushStyle::DiagonalCross, colorTable[1]});
    s.rectangle(3, 12, 21, 38);
    plot(s, 62, 5, PaletteIndex::Yellow);
    drawLine(s, 62, 10, 62, 30, PaletteIndex::White);
    drawLine(s, 1, 44, 70, 44, PaletteIndex::Green);
    s.fillSolidRect(64, 32, 70, 40, colorTable[13]);
  };
  DrawingSurface one(72, 48);
  DrawingSurface two(72, 48, 2);
  draw(one);
  draw(two);
  ASSERT_EQ(two.deviceWidth(), 144);
  ASSERT_EQ(two.deviceHeight(), 96);
  ASSERT_EQ(two.width(), 72);
  for (int y = 0; y < two.deviceHeight(); ++y)
    for (int x = 0; x < two.deviceWidth(); ++x) ASSERT_EQ(two.pixel(x, y), one.pixel(x / 2, y / 2)) << x << "," << y;
}

// Circles and sloped lines are drawn finely at scale 2; a circle's outline
// still holds a fill, and a text keeps its logical cell and width.
TEST(DrawingSurfaceScale, CirclesHoldFillsAndTextKeepsItsCell) {
  DrawingSurface s(60, 60, 2);
  drawCircle(s, 30, 30, 20, PaletteIndex::White);
  s.setBrush({BrushStyle::Solid, colorTable[4]});
  s.floodFill(30, 30, colorTable[15]);
  int inside = 0;
  for (int y = 0; y < s.deviceHeight(); ++y)
    for (int x = 0; x < s.deviceWidth(); ++x) {
      if (s.pixel(x, y) != colorTable[4]) continue;
      ++inside;
      ASSERT_LT(std::hypot(x + 0.5 - 60, y + 0.5 - 60), 40) << x << "," << y;
    }
  EXPECT_NEAR(inside, 3.14159 * 38 * 38, 3.14159 * 38 * 38 * testing::kDiscAreaRelative);

  DrawingSurface one(100, 30), two(100, 30, 2);
  for (DrawingSurface* t : {&one, &two}) {
    t->setTextColour(kWhite);
    drawText(*t, 10, 5, "Delta T");
  }
  EXPECT_EQ(two.textWidth("Delta T"), one.textWidth("Delta T"));
  EXPECT_EQ(two.textHeight(), one.textHeight());
  ASSERT_EQ(two.drawnTexts().size(), 1u);
  EXPECT_EQ(two.drawnTexts()[0].x, 10);
  // The ink lies in the device cell of the logical one, and spans about
  // twice the rows.
  auto inkRows = [](const DrawingSurface& t) {
    int first = -1, last = -1;
    for (int y = 0; y < t.deviceHeight(); ++y)
      for (int x = 0; x < t.deviceWidth(); ++x)
        if (t.pixel(x, y) == kWhite) {
          if (first < 0) first = y;
          last = y;
        }
    return std::pair{first, last};
  };
  const auto [top1, bottom1] = inkRows(one);
  const auto [top2, bottom2] = inkRows(two);
  EXPECT_GE(top2, 2 * 5);
  EXPECT_LT(bottom2, 2 * (5 + one.textHeight()));
  EXPECT_NEAR(bottom2 - top2 + 1, 2 * (bottom1 - top1 + 1), testing::kScaledTextRows);
}

}  // namespace
}  // namespace tarvo
