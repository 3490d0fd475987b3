// World map drawing at 1280 × 800: the grid, the built-in outline and the six
// hatched zones of a total eclipse, on a cleared surface. The full paint
// (landing, panel, pipeline) must stay within 10 ms; this is its drawing part.
#include <benchmark/benchmark.h>

#include "map/info_panel.h"
#include "map/projection.h"
#include "map/visibility.h"
#include "map/world_map.h"

namespace {

using namespace tarvo;

// A total eclipse whose sub-lunar point moves 15° west per hour from 170 E, 3 N.
VisibilityInputs totalEclipse() {
  const auto at = [](double t) { return GeoPoint{170 - 15 * t, 3 - 0.2 * t}; };
  return {1, at(0), at(-2.6), at(-1.7), at(-0.6), at(0.6), at(1.7), at(2.6)};
}

MapFrame frame1280() {
  MapFrame f = layoutMap(0, 0, 1280, 800);
  centreMapOn(f, splitGreatestLongitude(170));
  return f;
}

void BM_GridAndOutline(benchmark::State& state) {
  DrawingSurface s(1280, 800);
  const MapFrame f = frame1280();
  for (auto _ : state) {
    s.clear(colorTable[0]);
    MapPen pen;
    drawWorldMap(s, f, pen, true, drawBuiltInOutline);
    benchmark::DoNotOptimize(s.pixels());
  }
}
BENCHMARK(BM_GridAndOutline)->Unit(benchmark::kMillisecond);

void BM_WorldMapWithSixZones(benchmark::State& state) {
  DrawingSurface s(1280, 800);
  const MapFrame f = frame1280();
  const VisibilityInputs in = totalEclipse();
  for (auto _ : state) {
    s.clear(colorTable[0]);
    MapPen pen;
    drawWorldMap(s, f, pen, state.range(0) != 0, drawBuiltInOutline);
    drawVisibilityZones(s, f, pen, in);
    benchmark::DoNotOptimize(s.pixels());
  }
}
BENCHMARK(BM_WorldMapWithSixZones)->Arg(0)->Arg(1)->ArgName("grid")->Unit(benchmark::kMillisecond);

void BM_InfoPanel(benchmark::State& state) {
  DrawingSurface s(1280, 800);
  InfoPanelValues v;
  v.year = 2025;
  v.month = 3;
  v.eclipseDay = 14;
  v.eclipseType = 1;
  v.saros = 123;
  v.u1 = -1.7;
  v.u2 = -0.6;
  v.u3 = 0.6;
  v.u4 = 1.7;
  v.p1 = -2.6;
  v.p4 = 2.6;
  for (auto _ : state) {
    drawInfoPanel(s, v);
    benchmark::DoNotOptimize(s.pixels());
  }
}
BENCHMARK(BM_InfoPanel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
