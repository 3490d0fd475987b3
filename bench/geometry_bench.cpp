// greatestAtSite runs once per catalogue entry in a site search: the goal is
// under 1 µs per call, with no allocation.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "circumstances/geometry.h"

// Every allocation of the process is counted, so the benchmark can report
// how many the timed calls made.
namespace {
std::atomic<long> allocationCount{0};
}

// The replacement pair below matches; GCC cannot see that through free().
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A total eclipse with curved elements (arcsec, degrees, hours of TT).
tarvo::EclipseRecord totalEclipse() {
  tarvo::EclipseRecord r;
  r.eclipseType = 1;
  r.epochHour = 12;
  r.x0 = -300; r.x1 = 1800; r.x2 = 2.0; r.x3 = 0.1;
  r.y0 = 500; r.y1 = -150; r.y2 = -1.0; r.y3 = 0.05;
  r.gst0 = 100; r.gst1 = 15.0410686;
  r.lp0 = 5500; r.lu0 = 3500; r.lt0 = 1700;
  r.ra0 = 180; r.ra1 = 0.55;
  r.dec0 = 5; r.dec1 = -0.25;
  return r;
}

void BM_GreatestAtSite(benchmark::State& state) {
  tarvo::EclipseRecord r = totalEclipse();
  const tarvo::SiteValues site{139.77, 35.68, 40};
  double deltaT = 69.2;
  long allocations = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(deltaT);
    const long before = allocationCount.load(std::memory_order_relaxed);
    const tarvo::SiteAtGreatest g = tarvo::greatestAtSite(r, site, 0.0, deltaT);
    allocations += allocationCount.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(g);
  }
  state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_GreatestAtSite);

}  // namespace
