// The world map with the "CIA MAP" outline at 1280 × 800: clear, grid, and
// the five shipped coastline files read, decoded and drawn.
#include <benchmark/benchmark.h>

#include <string>

#include "map/coastline_files.h"
#include "map/world_map.h"

namespace {

void BM_CiaMapPaint(benchmark::State& state) {
  tarvo::DrawingSurface surface(1280, 800);
  tarvo::MapFrame frame = tarvo::layoutMap(0, 0, 1280, 800);
  frame.longitudeOffsetDeg = -137.5;  // central meridian 137.5°E: the outline crosses the edge
  const std::string dir = TARVO_COASTLINE_DIR;
  int files = 0;
  for (auto _ : state) {
    surface.clear(tarvo::colorTable[0]);
    tarvo::MapPen pen;
    tarvo::drawWorldMap(surface, frame, pen, true,
                        [&](tarvo::DrawingSurface& s, const tarvo::MapFrame& f, tarvo::MapPen& p) {
                          files = tarvo::drawCoastlineFiles(s, f, p, dir);
                        });
    benchmark::DoNotOptimize(surface.pixels());
  }
  if (files != 5) state.SkipWithError("coastline files missing");
}
BENCHMARK(BM_CiaMapPaint)->Unit(benchmark::kMillisecond);

}  // namespace
