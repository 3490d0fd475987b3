// Glyphs and PNG encoding, the two things the surface needs the platform's
// fonts and image codecs for. They live in a module of their own (the text
// module, loaded on first use), so that a program that never draws text or
// writes a picture does not load the GUI libraries at start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "surface/palette.h"

namespace tarvo {

// "Courier New" −12 (a fixed 7-pixel pitch) and "Times Roman" −11.
enum class FontRecipe { Text, Chart };

// A piece of Latin-1 text whose pen starts at device pixel x.
struct PlacedText {
  int deviceX;
  std::string_view text;
};

class TextRaster {
 public:
  virtual ~TextRaster() = default;
  // Advance width and cell height of the font at one device pixel per
  // logical pixel.
  virtual int width(FontRecipe font, std::string_view text) const = 0;
  virtual int height(FontRecipe font) const = 0;
  // Draws the pieces, the cell's top at device row `deviceTop`, into a
  // w × h image of 0xFFRRGGBB pixels, the font grown by `scale`; no
  // antialiasing, nothing outside the image.
  virtual void draw(std::uint32_t* pixels, int w, int h, FontRecipe font, double scale, Rgb colour,
                    int deviceTop, const PlacedText* pieces, std::size_t count) const = 0;
  // The w × h image as PNG bytes; false with the codec's reason.
  virtual bool encodePng(const std::uint32_t* pixels, int w, int h, std::string& png,
                         std::string& error) const = 0;
};

// The text module's raster, loaded once; nullptr when it cannot be loaded,
// with the reason in `whyNot`.
const TextRaster* textRaster(std::string* whyNot = nullptr);

}  // namespace tarvo

// The module's one entry point.
extern "C" const tarvo::TextRaster* tarvo_text_raster();
