// Raster surface timings. Goal: a diagonal-cross hatch fill of an empty
// 1920×1080 surface from its centre, transparent mode, within 5 ms.
#include <benchmark/benchmark.h>

#include "surface/drawing_surface.h"

namespace {

void BM_HatchFillEmptyFullHd(benchmark::State& state) {
  tarvo::DrawingSurface s(1920, 1080);
  s.setBrush({tarvo::BrushStyle::DiagonalCross, tarvo::colorTable[6]});
  s.setBackgroundMode(tarvo::BackgroundMode::Transparent);
  for (auto _ : state) {
    state.PauseTiming();
    s.clear(tarvo::colorTable[0]);
    state.ResumeTiming();
    s.floodFill(960, 540, tarvo::colorTable[6]);
    benchmark::DoNotOptimize(s.pixels());
  }
}
BENCHMARK(BM_HatchFillEmptyFullHd)->Unit(benchmark::kMillisecond);

// A map's worth of 1-pixel polyline segments (about 20 pixels each).
void BM_PolylineSegments(benchmark::State& state) {
  tarvo::DrawingSurface s(1920, 1080);
  for (auto _ : state) {
    tarvo::moveTo(s, 0, 540);
    for (int i = 1; i <= 96; ++i) tarvo::lineToColour(s, i * 20, 540 + (i % 7) * 9, tarvo::PaletteIndex::LightGrey);
    benchmark::DoNotOptimize(s.pixels());
  }
}
BENCHMARK(BM_PolylineSegments)->Unit(benchmark::kMicrosecond);

}  // namespace
