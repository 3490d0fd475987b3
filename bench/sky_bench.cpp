// The sky chart's astronomy: one nutation evaluation (1365 terms) and the
// whole chart's 99 places (about two hundred nutation evaluations, uncached).
#include <benchmark/benchmark.h>

#include "sky/earth_orientation.h"
#include "sky/sky_places.h"

namespace {

void BM_NutationAngles(benchmark::State& state) {
  double jd = 2460748.79;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tarvo::nutationAngles(jd));
    jd += 0.001;
  }
}
BENCHMARK(BM_NutationAngles);

void BM_SkyChartPlaces(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tarvo::skyChartPlaces(2460748.79, 40.713, -74.006));
}
BENCHMARK(BM_SkyChartPlaces)->Unit(benchmark::kMillisecond);

}  // namespace
