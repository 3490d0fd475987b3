// The visibility class and altitudes of every eclipse of 1,000 years
// (2000–2999, about 2,400 eclipses) at one mid-latitude site: greatest
// eclipse, contacts and visibilityAt per entry. The entries are read before
// timing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/canon_walk.h"
#include "circumstances/visibility.h"
#include "session/catalogue_search.h"

namespace {

std::vector<tarvo::EclipseRecord> thousandYears() {
  tarvo::CanonReader reader(TARVO_RUNDATA_DIR);
  std::vector<tarvo::EclipseRecord> out;
  tarvo::EclipseEntry e;
  if (!tarvo::succeeded(reader.openFirst(2000, tarvo::DeltaTChoice{}, e))) return out;
  do {
    if (e.year >= 2000) out.push_back(e);
  } while (tarvo::readOnward(reader, e.year, tarvo::DeltaTChoice{}, e).status == tarvo::WalkStatus::Read && e.year < 3000);
  return out;
}

void BM_VisibilityOfAThousandYears(benchmark::State& state) {
  const std::vector<tarvo::EclipseRecord> entries = thousandYears();
  if (entries.size() < 2000) {
    state.SkipWithError("no generated canon");
    return;
  }
  const tarvo::SiteValues site{139.7447, 35.6544, 0};
  for (auto _ : state) {
    int seen = 0;
    for (const tarvo::EclipseRecord& r : entries) {
      const double deltaT = tarvo::entryDeltaTSeconds(r, tarvo::DeltaTChoice{});
      const tarvo::EclipseCircumstances e = tarvo::eclipseCircumstances(r, deltaT, 0);
      seen += tarvo::visibilityAt(e, site, 0).visibilityClass != tarvo::VisibilityClass::None;
    }
    benchmark::DoNotOptimize(seen);
  }
  state.counters["eclipses"] = static_cast<double>(entries.size());
}
BENCHMARK(BM_VisibilityOfAThousandYears)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
