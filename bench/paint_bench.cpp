// The full map paint at a 1280 × 800 client area, as a repaint of the window
// does it: clear and layout, landing on the cursor in the generated canon
// (the files already cached by the reader), the map pipeline, the panel, the
// built-in outline and the six hatched zones of the total eclipse of 2025
// March 14. Goal: under 10 ms. Needs the canon in the run-time data directory.
// Also with the ΔT bands.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "catalogue/canon_reader.h"
#include "core/drawing_surface.h"
#include "core/session_state.h"
#include "session/paint.h"

namespace {

using namespace tarvo;

void BM_FullMapPaint(benchmark::State& bench) {
  const std::filesystem::path rundata = TARVO_RUNDATA_DIR;
  CanonReader reader(rundata);
  PaintHooks hooks;
  hooks.dataDirectory = rundata;
  DrawingSurface surface(1280, 800);
  SessionState state;
  state.year = 2025;
  state.month = 3;
  state.pendingAction = kLandAtCursor;
  state.gridMode = static_cast<int>(bench.range(0)) != 0 ? 0 : 4;
  // The first paint reads the city list and loads the canon file.
  if (paintView(state, reader, surface, hooks).outcome != LandingOutcome::Shown) {
    bench.SkipWithError("no canon in the run-time data directory");
    return;
  }
  for (auto _ : bench) {
    state.pendingAction = kLandAtCursor;  // a repaint of the same eclipse
    benchmark::DoNotOptimize(paintView(state, reader, surface, hooks));
    benchmark::DoNotOptimize(surface.pixels());
  }
}
BENCHMARK(BM_FullMapPaint)->Arg(0)->Arg(1)->ArgName("grid")->Unit(benchmark::kMillisecond);

// The same paint of the total eclipse of −500 January with and without the
// ΔT bands (the zone boundaries at ΔT − σ and ΔT + σ, σ = 430 s). Goal: under
// 10 ms with the bands.
void BM_MapPaintWithDeltaTBands(benchmark::State& bench) {
  const std::filesystem::path rundata = TARVO_RUNDATA_DIR;
  CanonReader reader(rundata);
  PaintHooks hooks;
  hooks.dataDirectory = rundata;
  DrawingSurface surface(1280, 800);
  SessionState state;
  state.year = -500;
  state.month = 1;
  state.pendingAction = kLandAtCursor;
  state.deltaTBandsShown = bench.range(0) != 0;
  if (paintView(state, reader, surface, hooks).outcome != LandingOutcome::Shown) {
    bench.SkipWithError("no canon in the run-time data directory");
    return;
  }
  for (auto _ : bench) {
    state.pendingAction = kLandAtCursor;
    benchmark::DoNotOptimize(paintView(state, reader, surface, hooks));
    benchmark::DoNotOptimize(surface.pixels());
  }
}
BENCHMARK(BM_MapPaintWithDeltaTBands)->Arg(0)->Arg(1)->ArgName("bands")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
