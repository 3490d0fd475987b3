#include "map/zone_legend.h"

#include "surface/palette.h"

namespace tarvo {

namespace {

constexpr int kRowHeight = 22;   // pixels per row
constexpr int kSwatchWidth = 40;
constexpr int kTextX = 60;

struct LegendRow {
  PaletteIndex colour;
  const char* meaning;
};

// The zones in the order the map draws them; each later zone is drawn over
// the earlier ones. West of greatest eclipse the Moon rises, east it sets.
constexpr LegendRow kRows[] = {
    {PaletteIndex::Brown, "Moonrise after P1 / moonset before P4"},
    {PaletteIndex::Magenta, "Moonrise after U1 / moonset before U4"},
    {PaletteIndex::Red, "Moonrise after U2 / moonset before U3 (total)"},
    {PaletteIndex::Cyan, "Moonrise after U3 / moonset before U2 (total)"},
    {PaletteIndex::Green, "Moonrise after U4 / moonset before U1"},
    {PaletteIndex::Blue, "Moonrise after P4 / moonset before P1: not seen"},
};

}  // namespace

void drawZoneLegend(DrawingSurface& s) {
  s.clear(paletteColour(PaletteIndex::Black));
  s.setFont(FontRecipe::Text);
  s.setBackgroundMode(BackgroundMode::Transparent);
  s.setTextColour(paletteColour(PaletteIndex::White));
  int top = 4;
  for (const LegendRow& row : kRows) {
    const Rgb colour = paletteColour(row.colour);
    const int bottom = top + kRowHeight - 6;
    s.setPen({colour, 1});
    s.setBrush({BrushStyle::DiagonalCross, colour});
    s.rectangle(8, top, 8 + kSwatchWidth, bottom);
    drawText(s, kTextX, top, row.meaning);
    top += kRowHeight;
  }
  // The unhatched area and the marker of greatest eclipse.
  s.setPen({paletteColour(PaletteIndex::PaleGreen), 1});
  s.setBrush({BrushStyle::Hollow, paletteColour(PaletteIndex::Black)});
  s.rectangle(8, top, 8 + kSwatchWidth, top + kRowHeight - 6);
  drawText(s, kTextX, top, "Not hatched: the whole eclipse is seen");
  top += kRowHeight;
  fillCircle(s, 8 + kSwatchWidth / 2, top + 8, 3, PaletteIndex::Yellow);
  drawText(s, kTextX, top, "The Moon in the zenith at greatest eclipse");
}

}  // namespace tarvo
