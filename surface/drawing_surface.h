// The raster every display draws on: a 32-bit image owned here, drawn with
// immediate-mode operations that use a current pen, brush, position and text
// colours, and with the program's palette primitives.
//
// Coordinates are pixels, origin top-left, x right, y down. They are taken as
// doubles and truncated toward zero, as an integer conversion would; a
// coordinate that is NaN, infinite or beyond ±kMaxCoordinate makes the
// operation draw nothing. Every operation clips to the image.
//
// A surface of scale R (a screen's device pixel ratio, 1 to 4) keeps its
// layout in these logical pixels and draws at R device pixels per logical
// one: the image is width × R by height × R, a coordinate lands on device
// pixel trunc(R × v), and pen widths, dots, hatching and text grow by R. At
// scale 1 the two kinds of pixel are one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_write.h"
#include "surface/palette.h"
#include "surface/text_raster.h"

class QImage;

namespace tarvo {

// Magnitude beyond which a coordinate is treated as unusable (2^52 pixels).
inline constexpr double kMaxCoordinate = 4503599627370496.0;
// Device pixels per logical pixel a surface may have.
inline constexpr double kMinSurfaceScale = 1;
inline constexpr double kMaxSurfaceScale = 4;

enum class BackgroundMode { Transparent = 1, Opaque = 2 };

// Writes a picture as a PNG file, whole or not at all (writeFileWhole).
// With image() below, in tarvo_surface_image, for programs that link Qt's GUI.
[[nodiscard]] FileWrite writePng(const QImage& picture, const std::string& path);

// Solid pen; width in pixels, strokes centred on the path, the extra pixel of
// an even width going right and down.
struct Pen {
  Rgb colour = paletteColour(PaletteIndex::Black);
  int width = 1;
};

enum class BrushStyle { Hollow, Solid, DiagonalCross };

// DiagonalCross is an 8×8 pattern aligned to the surface origin; the pixels
// between its lines take the background colour in opaque mode and are left
// alone in transparent mode.
struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Rgb colour = paletteColour(PaletteIndex::White);
};

struct PixelPoint {
  std::int64_t x, y;
};

// A box [left, right) × [top, bottom) that a flood fill treats as border
// without its being drawn.
struct FillBarrier {
  double left, top, right, bottom;
};

class DrawingSurface {
 public:
  // width × height logical pixels at `scale` device pixels each (clamped to
  // kMinSurfaceScale..kMaxSurfaceScale).
  DrawingSurface(int width, int height, double scale = 1);

  // The size in logical pixels, which every layout uses.
  int width() const { return width_; }
  int height() const { return height_; }
  double scale() const { return scale_; }
  // The image's size in device pixels.
  int deviceWidth() const { return deviceWidth_; }
  int deviceHeight() const { return deviceHeight_; }
  // The colour (0x00RRGGBB) of the image's device pixel; black outside it.
  Rgb pixel(int x, int y) const;
  // Pixels row by row, 0xFFRRGGBB, deviceWidth() per row.
  const std::uint32_t* pixels() const { return pixels_.data(); }
  // The image as Format_RGB32 sharing this surface's buffer; valid while the
  // surface lives and is not resized.
  QImage image();

  // Fills [left, right) × [top, bottom) with the colour and makes it the
  // background colour.
  void fillSolidRect(double left, double top, double right, double bottom, Rgb colour);
  void clear(Rgb colour);

  void setPen(const Pen& pen) { pen_ = pen; }
  const Pen& pen() const { return pen_; }
  void setBrush(const Brush& brush) { brush_ = brush; }
  const Brush& brush() const { return brush_; }
  void setTextColour(Rgb colour) { textColour_ = colour; }
  Rgb textColour() const { return textColour_; }
  void setBackgroundColour(Rgb colour) { backgroundColour_ = colour; }
  Rgb backgroundColour() const { return backgroundColour_; }
  void setBackgroundMode(BackgroundMode mode) { backgroundMode_ = mode; }
  BackgroundMode backgroundMode() const { return backgroundMode_; }
  void setFont(FontRecipe font) { font_ = font; }
  FontRecipe font() const { return font_; }

  // Current position (logical pixels); empty after a move or line to an
  // unusable coordinate. A line from an empty position draws nothing but
  // sets the position.
  void moveTo(double x, double y);
  std::optional<PixelPoint> currentPosition() const { return currentLogical_; }
  // Pen line from the current position to (x, y), its last pixel excluded;
  // (x, y) becomes the current position.
  void lineTo(double x, double y);

  // Pen outline and brush interior of [left, right) × [top, bottom).
  void rectangle(double left, double top, double right, double bottom);
  // Pen outline and brush interior of the ellipse inscribed in the same box.
  void ellipse(double left, double top, double right, double bottom);
  void setPixel(double x, double y, Rgb colour);
  // Fills, with the brush, every pixel 4-connected to the seed whose colour
  // is not exactly the border colour. Nothing when the seed is off the image
  // or has the border colour. The barriers count as border too.
  void floodFill(double x, double y, Rgb borderColour, const std::vector<FillBarrier>& barriers = {});

  // Text whose cell's top-left corner is (x, y), in the current font and
  // text colour; in opaque mode the cell is first filled with the background
  // colour. Bytes are Latin-1.
  void textOut(double x, double y, std::string_view text);
  // The texts drawn so far, in drawing order, each at its cell's top-left
  // pixel; a text whose corner a later fillSolidRect covers is dropped (it is
  // no longer seen). Latin-1, as drawn.
  struct DrawnText {
    int x, y;
    std::string text;
  };
  const std::vector<DrawnText>& drawnTexts() const { return drawnTexts_; }
  // Width and height of the text's cell in the current font.
  int textWidth(std::string_view text) const;
  int textHeight() const;

  // Writes the image as a PNG file (PNG encoding comes from the text module).
  [[nodiscard]] FileWrite savePng(const std::string& path);

 private:
  // Device pixel of a logical coordinate; the first device pixel of a whole
  // logical one.
  std::optional<std::int64_t> toDevice(double v) const;
  std::int64_t deviceEdge(std::int64_t logical) const;
  int devicePenWidth() const;
  // Device-pixel operations; inclusive ranges, clipped.
  void putPixel(std::int64_t x, std::int64_t y, Rgb colour);
  void fillBand(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Rgb colour);
  // The device pixels of the inclusive logical box.
  void fillLogicalBand(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Rgb colour);
  void brushSpan(std::int64_t y, std::int64_t x0, std::int64_t x1);
  void thinOrWideLine(PixelPoint from, PixelPoint to);
  void scaledEllipse(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);

  int width_;
  int height_;
  double scale_;
  int wholeScale_;  // the scale when it is a whole number, else 0
  int deviceWidth_;
  int deviceHeight_;
  std::vector<std::uint32_t> pixels_;
  // Flood fill scratch, kept between fills: the runs found in each row.
  struct FillRun {
    std::int64_t y, x0, x1;
  };
  std::vector<std::vector<std::pair<std::int64_t, std::int64_t>>> fillRows_;
  Pen pen_;
  Brush brush_;
  Rgb textColour_ = paletteColour(PaletteIndex::Black);
  Rgb backgroundColour_ = paletteColour(PaletteIndex::White);
  BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
  FontRecipe font_ = FontRecipe::Text;
  std::optional<PixelPoint> current_ = PixelPoint{0, 0};  // device pixels
  std::optional<PixelPoint> currentLogical_ = PixelPoint{0, 0};
  std::vector<DrawnText> drawnTexts_;
};

// The program's primitives. Each takes a palette entry by name, draws with its own
// pen and brush and puts the surface's previous pen and brush back.
void drawLine(DrawingSurface& s, double x1, double y1, double x2, double y2, PaletteIndex colour);
void lineToColour(DrawingSurface& s, double x, double y, PaletteIndex colour);
void moveTo(DrawingSurface& s, double x, double y);
void drawFrame(DrawingSurface& s, double left, double top, double right, double bottom, PaletteIndex colour,
               int width);
void drawCircle(DrawingSurface& s, double cx, double cy, double r, PaletteIndex colour);
void fillCircle(DrawingSurface& s, double cx, double cy, double r, PaletteIndex colour);
void fillBox(DrawingSurface& s, double left, double top, double right, double bottom, PaletteIndex colour);
void plot(DrawingSurface& s, double x, double y, PaletteIndex colour);
void drawText(DrawingSurface& s, double x, double y, std::string_view text);

}  // namespace tarvo
