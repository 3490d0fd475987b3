// The 16-colour palette every primitive draws with, by index.
#pragma once

#include <array>
#include <cstdint>

namespace tarvo {

// A colour as 0x00RRGGBB (red in the high byte of the low 24 bits).
using Rgb = std::uint32_t;

constexpr Rgb rgb(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }
constexpr unsigned redOf(Rgb c) { return (c >> 16) & 0xFFu; }
constexpr unsigned greenOf(Rgb c) { return (c >> 8) & 0xFFu; }
constexpr unsigned blueOf(Rgb c) { return c & 0xFFu; }

inline constexpr std::array<Rgb, 16> colorTable{
    rgb(0, 0, 0),        //  0 black
    rgb(0, 0, 255),      //  1 blue
    rgb(0, 255, 0),      //  2 green
    rgb(0, 255, 255),    //  3 cyan
    rgb(255, 0, 0),      //  4 red
    rgb(255, 0, 255),    //  5 magenta
    rgb(170, 68, 0),     //  6 brown
    rgb(192, 192, 192),  //  7 light grey
    rgb(128, 128, 128),  //  8 dark grey
    rgb(102, 153, 255),  //  9 light blue
    rgb(204, 255, 204),  // 10 pale green
    rgb(204, 255, 255),  // 11 pale cyan
    rgb(255, 102, 0),    // 12 orange
    rgb(255, 153, 204),  // 13 pink
    rgb(255, 255, 0),    // 14 yellow
    rgb(255, 255, 255),  // 15 white
};

// The palette's entries by name.
enum class PaletteIndex : int {
  Black = 0, Blue, Green, Cyan, Red, Magenta, Brown, LightGrey,
  DarkGrey, LightBlue, PaleGreen, PaleCyan, Orange, Pink, Yellow, White
};

// Palette colour by index; an index outside 0..15 gives black.
constexpr Rgb paletteColour(int index) {
  return index >= 0 && index < static_cast<int>(colorTable.size())
             ? colorTable[static_cast<std::size_t>(index)]
             : colorTable[0];
}

constexpr Rgb paletteColour(PaletteIndex index) { return paletteColour(static_cast<int>(index)); }

}  // namespace tarvo
