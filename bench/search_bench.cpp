// A forward site search through the whole generated canon: from (−13000, 1),
// search by site (0°, 0°, 0 m) with a magnitude criterion of 2.0, which no
// eclipse meets, so the search reads every entry to the end of the catalogue.
// The seven files are parsed before timing (the reader keeps them).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "catalogue/canon_reader.h"
#include "session/landing.h"
#include "session/session_state.h"

namespace {

const std::filesystem::path kCanonDir = TARVO_RUNDATA_DIR;

tarvo::LandingOutcome searchWholeCatalogue(tarvo::CanonReader& reader, tarvo::SessionState& s,
                                           int searchType = 2) {
  s = tarvo::SessionState{};
  s.year = -13000;
  s.month = 1;
  s.pendingAction = tarvo::kLandAtCursor;
  s.searchType = searchType;
  s.typeCriterion = 4;  // a blank type: a type search matches nothing
  s.site = tarvo::typedChoice(0, 0, 0);
  s.magnitudeCriterion = 2.0;
  return tarvo::positionForPaint(s, reader);
}

void BM_SiteSearchToTheEnd(benchmark::State& state) {
  tarvo::CanonReader reader(kCanonDir);
  tarvo::SessionState s;
  if (searchWholeCatalogue(reader, s) != tarvo::LandingOutcome::EndOfCatalogue) {
    state.SkipWithError("no generated canon, or the search did not reach the end");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(searchWholeCatalogue(reader, s));
  }
}
BENCHMARK(BM_SiteSearchToTheEnd)->Unit(benchmark::kMillisecond);

// The same walk by a blank type: reading and converting without the site
// geometry, to tell the two costs apart.
void BM_TypeSearchToTheEnd(benchmark::State& state) {
  tarvo::CanonReader reader(kCanonDir);
  tarvo::SessionState s;
  if (searchWholeCatalogue(reader, s, 1) != tarvo::LandingOutcome::EndOfCatalogue) {
    state.SkipWithError("no generated canon, or the search did not reach the end");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(searchWholeCatalogue(reader, s, 1));
  }
}
BENCHMARK(BM_TypeSearchToTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
