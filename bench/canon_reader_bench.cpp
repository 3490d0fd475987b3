// Landing on a cursor in a 12,000-entry canon file plus ten steps: the reader
// (parsed once, indexed) against a rescan of the text with fscanf("%lf") from
// the file's start on every landing; the first open parsing the text and
// mapping its binary copy. Prints the ratios at the end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "catalogue/canon_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 12000;
constexpr int kMiddleEntry = 6000;  // 1-based
const char* const kFileName = "mcp00001p03000.prn";

struct Cursor {
  double year, month;
};

struct SyntheticCanon {
  fs::path dir;
  Cursor first{}, middle{}, last{};
};

// JD at 0 h of a Gregorian or Julian calendar date (standard algorithm).
double julianDay(int year, int month, int day) {
  int y = year, m = month;
  if (m <= 2) {
    y -= 1;
    m += 12;
  }
  const bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
  const double a = std::floor(y / 100.0);
  const double b = gregorian ? 2 - a + std::floor(a / 4) : 0;
  return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b - 1524.5;
}

// 12,000 entries from year 1 to 3000, about one lunation apart in 4 of 10
// months, with plausible values printed as %.12g, 11/10/10 per line.
SyntheticCanon writeSyntheticCanon() {
  SyntheticCanon c;
  std::string pattern = (fs::temp_directory_path() / "tarvo-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  c.dir = pattern;
  std::FILE* f = std::fopen((c.dir / kFileName).c_str(), "w");
  if (!f) std::abort();
  std::mt19937 rng(20260101);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const double startJd = julianDay(1, 1, 15);
  const double stepDays = (julianDay(3000, 12, 1) - startJd) / kEntries;
  for (int i = 0; i < kEntries; ++i) {
    const double jd = startJd + i * stepDays + u(rng) * 3;
    // Calendar date of jd (proleptic as the reader's conversion does it).
    const double z = std::floor(jd + 0.5);
    double a = z;
    if (z >= 2299161) {
      const double alpha = std::trunc((z - 1867216.25) / 36524.25);
      a = z + 1 + alpha - std::trunc(alpha / 4);
    }
    const double b = a + 1524, cc = std::floor((b - 122.1) / 365.25), d = std::floor(365.25 * cc);
    const double e = std::trunc((b - d) / 30.6001);
    const double day = std::floor(b - d - std::floor(30.6001 * e));
    const double month = e < 14 ? e - 1 : e - 13;
    const double year = month > 2 ? cc - 4716 : cc - 4715;
    const double hour = std::floor((jd + 0.5 - z) * 24);
    const double gamma = u(rng) * 3 - 1.5;
    const double umbral = 1.0 - std::fabs(gamma) * 1.1;
    const Cursor here{year, month};
    if (i == 0) c.first = here;
    if (i == kMiddleEntry - 1) c.middle = here;
    if (i == kEntries - 1) c.last = here;
    std::fprintf(f, "%.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g\n", year, month, day,
                 umbral > 1 ? 1.0 : umbral > 0 ? 2.0 : 3.0, umbral + 1.03, umbral, gamma, jd, -24000.0 + i,
                 100 + std::fmod(i * 38.0, 140), hour);
    std::fprintf(f, "%.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g\n", -1820 * u(rng), 1820 + u(rng),
                 0.012 * u(rng), -0.0007 * u(rng), gamma * 3400, -95.5 * u(rng), 0.0042 * u(rng),
                 1.3e-5 * u(rng), 360 * u(rng), 15.04106864);
    std::fprintf(f, "%.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g\n", 4620 + 50 * u(rng),
                 -0.00041, 2650 + 40 * u(rng), -0.00038, 720 + 30 * u(rng), 0.00022, 360 * u(rng), 0.5494,
                 50 * u(rng) - 25, 0.1402);
  }
  std::fclose(f);
  return c;
}

const SyntheticCanon& canon() {
  static const SyntheticCanon c = writeSyntheticCanon();
  return c;
}

// What a reader without memory does on every landing: open, scan entries with
// fscanf("%lf") from the start until one is at or after the cursor (whole
// month), then read `steps` more entries.
bool scanLanding(const fs::path& file, Cursor cursor, int steps, double* sink) {
  std::FILE* f = std::fopen(file.c_str(), "r");
  if (!f) return false;
  double v[31];
  auto readEntry = [&] {
    for (double& x : v) {
      if (std::fscanf(f, "%lf", &x) != 1) return false;
    }
    return true;
  };
  bool landed = false;
  while (!landed && readEntry()) landed = (v[0] == cursor.year && v[1] >= cursor.month) || cursor.year < v[0];
  for (int i = 0; landed && i < steps && readEntry(); ++i) *sink += v[7];
  *sink += v[7];
  std::fclose(f);
  return true;
}

void readerLanding(benchmark::State& state, Cursor cursor, int steps) {
  tarvo::CanonReader reader(canon().dir);
  tarvo::EclipseEntry r;
  for (auto _ : state) {
    if (!tarvo::succeeded(reader.openAt(cursor.year, cursor.month, tarvo::DeltaTChoice{}, r))) state.SkipWithError("no file");
    for (int i = 0; i < steps; ++i) reader.readNext(tarvo::DeltaTChoice{}, r);
    benchmark::DoNotOptimize(r);
  }
}

void scanBaseline(benchmark::State& state, Cursor cursor, int steps) {
  double sink = 0;
  for (auto _ : state) {
    if (!scanLanding(canon().dir / kFileName, cursor, steps, &sink)) state.SkipWithError("no file");
    benchmark::DoNotOptimize(sink);
  }
}

void BM_Reader_Middle(benchmark::State& s) { readerLanding(s, canon().middle, 10); }
void BM_Fscanf_Middle(benchmark::State& s) { scanBaseline(s, canon().middle, 10); }
void BM_Reader_First(benchmark::State& s) { readerLanding(s, canon().first, 0); }
void BM_Fscanf_First(benchmark::State& s) { scanBaseline(s, canon().first, 0); }
void BM_Reader_Last(benchmark::State& s) { readerLanding(s, canon().last, 0); }
void BM_Fscanf_Last(benchmark::State& s) { scanBaseline(s, canon().last, 0); }

// The first parse of the file, for the record (an edited file costs this).
void BM_Reader_FirstOpenParse(benchmark::State& state) {
  tarvo::EclipseEntry r;
  for (auto _ : state) {
    tarvo::CanonReader reader(canon().dir);
    benchmark::DoNotOptimize(reader.openAt(canon().middle.year, canon().middle.month, tarvo::DeltaTChoice{}, r));
  }
}

// The same first open from the binary copy in the cache (made by the first run).
void BM_Reader_FirstOpenFromCache(benchmark::State& state) {
  const fs::path cache = canon().dir / "cache";
  tarvo::EclipseEntry r;
  {
    tarvo::CanonReader reader(canon().dir);
    reader.setCacheDirectory(cache);
    reader.openAt(canon().middle.year, canon().middle.month, tarvo::DeltaTChoice{}, r);
  }
  for (auto _ : state) {
    tarvo::CanonReader reader(canon().dir);
    reader.setCacheDirectory(cache);
    benchmark::DoNotOptimize(reader.openAt(canon().middle.year, canon().middle.month, tarvo::DeltaTChoice{}, r));
  }
}

BENCHMARK(BM_Reader_Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fscanf_Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reader_First)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fscanf_First)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reader_Last)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fscanf_Last)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reader_FirstOpenParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reader_FirstOpenFromCache)->Unit(benchmark::kMillisecond);

// Console output as usual, plus the time per iteration kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
        seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
      }
    }
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* where : {"Middle", "First", "Last"}) {
    const auto ours = reporter.seconds.find(std::string("BM_Reader_") + where);
    const auto base = reporter.seconds.find(std::string("BM_Fscanf_") + where);
    if (ours == reporter.seconds.end() || base == reporter.seconds.end() || ours->second <= 0) continue;
    std::printf("ratio %-6s fscanf/reader = %.0fx (reader %.3f us, fscanf %.3f us)\n", where,
                base->second / ours->second, ours->second * 1e6, base->second * 1e6);
  }
  std::error_code ec;
  fs::remove_all(canon().dir, ec);
  benchmark::Shutdown();
  return 0;
}
