// The "CIA MAP" outline at 1280 × 800. Goal: a map paint with it under 30 ms.
// BM_CiaWorldMap: clear, grid and the five shipped coastline files read,
// decoded and drawn. BM_CiaFullMapPaint: the whole repaint of the total
// eclipse of 2025 March 14 (landing, panel, grid, coastline files, zones), in
// the run-time data directory (needs the canon and the coastline files there).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "catalogue/canon_reader.h"
#include "session/session_state.h"
#include "map/coastline_files.h"
#include "map/world_map.h"
#include "session/paint.h"

namespace {

using namespace tarvo;

void BM_CiaWorldMap(benchmark::State& state) {
  DrawingSurface surface(1280, 800);
  MapFrame frame = layoutMap(0, 0, 1280, 800);
  frame.longitudeOffsetDeg = -137.5;  // central meridian 137.5°E: the outline crosses the edge
  const std::string dir = TARVO_COASTLINE_DIR;
  int files = 0;
  for (auto _ : state) {
    surface.clear(colorTable[0]);
    MapPen pen;
    drawWorldMap(surface, frame, pen, true,
                 [&](DrawingSurface& s, const MapFrame& f, MapPen& p) {
                   files = drawCoastlineFiles(s, f, p, dir).filesDrawn;
                 });
    benchmark::DoNotOptimize(surface.pixels());
  }
  if (files != 5) state.SkipWithError("coastline files missing");
}
BENCHMARK(BM_CiaWorldMap)->Unit(benchmark::kMillisecond);

void BM_CiaFullMapPaint(benchmark::State& bench) {
  // The program reads the coastline files from its working directory.
  if (chdir(TARVO_RUNDATA_DIR) != 0) {
    bench.SkipWithError("no run-time data directory");
    return;
  }
  CanonReader reader(".");
  DrawingSurface surface(1280, 800);
  SessionState state;
  state.year = 2025;
  state.month = 3;
  state.pendingAction = kLandAtCursor;
  state.gridMode = 0;
  state.outlineChoice = 2;
  if (paintView(state, reader, surface).outcome != LandingOutcome::Shown) {
    bench.SkipWithError("no canon in the run-time data directory");
    return;
  }
  for (auto _ : bench) {
    state.pendingAction = kLandAtCursor;  // a repaint of the same eclipse
    benchmark::DoNotOptimize(paintView(state, reader, surface));
    benchmark::DoNotOptimize(surface.pixels());
  }
}
BENCHMARK(BM_CiaFullMapPaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
