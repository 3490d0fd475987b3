#include "tools/canongen/canon_generator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tools/canongen/lunation.h"
#include "tools/canongen/shadow_geometry.h"
#include "tools/canongen/swiss_ephemeris.h"

#include <swephexp.h>

namespace tarvo::canongen {

namespace {

// Lunations examined beyond each end of the range (the mean full moon
// differs from the true one by far less than a lunation).
constexpr long kLunationMargin = 3;

double approximateJdOfYearStart(int year) { return 2451544.5 + (double(year) - 2000.0) * 365.2425; }

struct ChunkResult {
  std::vector<EclipseRecord> entries;
  GenerationSummary summary;
};

void keepWorst(double value, double jd, double& worst, double& worstJd) {
  if (value > worst) {
    worst = value;
    worstJd = jd;
  }
}

void mergeWorst(GenerationSummary& into, const FitResiduals& r, double jd) {
  const auto list = residualList(r);
  for (std::size_t i = 0; i < list.size(); ++i) into.overTolerance[i] += list[i] > kResidualTolerance[i];
  FitResiduals& w = into.worst;
  auto& at = into.worstAtJd;
  keepWorst(r.xArcsec, jd, w.xArcsec, at[0]);
  keepWorst(r.yArcsec, jd, w.yArcsec, at[1]);
  keepWorst(r.lpArcsec, jd, w.lpArcsec, at[2]);
  keepWorst(r.luArcsec, jd, w.luArcsec, at[3]);
  keepWorst(r.ltArcsec, jd, w.ltArcsec, at[4]);
  keepWorst(r.gstDeg, jd, w.gstDeg, at[5]);
  keepWorst(r.raDeg, jd, w.raDeg, at[6]);
  keepWorst(r.decDeg, jd, w.decDeg, at[7]);
}

void runChunk(const EphemerisFactory& factory, long first, long last, const GenerationRange& range,
              ChunkResult& out) {
  const std::unique_ptr<Ephemeris> ephemeris = factory();
  for (long n = first; n <= last; ++n) {
    ++out.summary.fullMoons;
    LunationResult r = examineLunation(*ephemeris, n, RadiusRule::Almanac);
    switch (r.outcome) {
      case LunationOutcome::NoEclipse:
        break;
      case LunationOutcome::OutsideEphemeris:
        ++out.summary.outsideEphemeris;
        break;
      case LunationOutcome::Failed:
        out.summary.failures.push_back("lunation " + std::to_string(n) + ": " + r.failure);
        break;
      case LunationOutcome::Eclipse:
        if (r.entry.year >= range.fromYear && r.entry.year <= range.toYear) {
          mergeWorst(out.summary, r.residuals, r.entry.greatestJd);
          out.entries.push_back(r.entry);
        }
        break;
    }
  }
}

}  // namespace

std::array<double, 8> residualList(const FitResiduals& r) {
  return {r.xArcsec, r.yArcsec, r.lpArcsec, r.luArcsec, r.ltArcsec, r.gstDeg, r.raDeg, r.decDeg};
}

std::vector<EclipseRecord> computeEclipses(const GenerationRange& range, const EphemerisFactory& factory,
                                           GenerationSummary& summary) {
  const long first = lunationNear(approximateJdOfYearStart(range.fromYear)) - kLunationMargin;
  const long last = lunationNear(approximateJdOfYearStart(range.toYear + 1)) + kLunationMargin;
  const long perChunk = std::max(1L, range.lunationsPerChunk);
  const long chunkCount = last >= first ? (last - first) / perChunk + 1 : 0;
  std::vector<ChunkResult> chunks(static_cast<std::size_t>(chunkCount));
  std::atomic<long> next{0};
  auto worker = [&] {
    for (long c = next++; c < chunkCount; c = next++) {
      const long from = first + c * perChunk;
      const long to = std::min(last, from + perChunk - 1);
      runChunk(factory, from, to, range, chunks[static_cast<std::size_t>(c)]);
    }
  };
  const int threadCount = std::max(1, range.threads);
  std::vector<std::thread> threads;
  for (int i = 1; i < threadCount; ++i) threads.emplace_back(worker);
  worker();
  for (auto& t : threads) t.join();

  std::vector<EclipseRecord> entries;
  for (ChunkResult& c : chunks) {
    entries.insert(entries.end(), c.entries.begin(), c.entries.end());
    summary.fullMoons += c.summary.fullMoons;
    for (std::size_t i = 0; i < summary.overTolerance.size(); ++i)
      summary.overTolerance[i] += c.summary.overTolerance[i];
    summary.outsideEphemeris += c.summary.outsideEphemeris;
    summary.failures.insert(summary.failures.end(), c.summary.failures.begin(), c.summary.failures.end());
    const FitResiduals& w = c.summary.worst;
    const auto& at = c.summary.worstAtJd;
    FitResiduals& s = summary.worst;
    keepWorst(w.xArcsec, at[0], s.xArcsec, summary.worstAtJd[0]);
    keepWorst(w.yArcsec, at[1], s.yArcsec, summary.worstAtJd[1]);
    keepWorst(w.lpArcsec, at[2], s.lpArcsec, summary.worstAtJd[2]);
    keepWorst(w.luArcsec, at[3], s.luArcsec, summary.worstAtJd[3]);
    keepWorst(w.ltArcsec, at[4], s.ltArcsec, summary.worstAtJd[4]);
    keepWorst(w.gstDeg, at[5], s.gstDeg, summary.worstAtJd[5]);
    keepWorst(w.raDeg, at[6], s.raDeg, summary.worstAtJd[6]);
    keepWorst(w.decDeg, at[7], s.decDeg, summary.worstAtJd[7]);
  }
  summary.eclipses = long(entries.size());
  return entries;
}

std::string writeCanon(const std::filesystem::path& dir, const GenerationRange& range,
                       const std::vector<EclipseRecord>& entries, std::array<long, 7>& perFile) {
  std::array<std::string, 7> texts;
  perFile.fill(0);
  for (const EclipseRecord& e : entries) {
    const auto file = canonFileFor(e.year);
    if (!file) continue;
    texts[*file] += formatEntry(e);
    ++perFile[*file];
  }
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return "cannot create " + dir.string() + ": " + ec.message();
  for (std::size_t i = 0; i < kCanonFiles.size(); ++i) {
    if (kCanonFiles[i].lastYear < range.fromYear || kCanonFiles[i].firstYear > range.toYear) continue;
    const std::string error = writeFileAtomically(dir, kCanonFiles[i].name, texts[i]);
    if (!error.empty()) return error;
  }
  return {};
}

std::vector<EclipsePlanets> computeEclipsePlanets(const std::vector<EclipseRecord>& entries, int threads,
                                                  std::vector<std::string>& failures) {
  // The library's planet numbers in the file's order.
  constexpr int kBodies[kPlanetCount] = {SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER, SE_SATURN};
  constexpr std::size_t kEntriesPerChunk = 500;
  const std::size_t chunkCount = (entries.size() + kEntriesPerChunk - 1) / kEntriesPerChunk;
  std::vector<std::vector<EclipsePlanets>> found(chunkCount);
  std::vector<std::vector<std::string>> faults(chunkCount);
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t c = next++; c < chunkCount; c = next++) {
      SwissEphemeris ephemeris;
      const std::size_t end = std::min(entries.size(), (c + 1) * kEntriesPerChunk);
      for (std::size_t i = c * kEntriesPerChunk; i < end; ++i) {
        const EclipseRecord& e = entries[i];
        if (!ephemeris.covers(e.greatestJd)) continue;
        EclipsePlanets record;
        record.lunation = std::int32_t(e.ninthValue);
        // The instant as the canon file prints it, so that the planets of a
        // canon read back from its files are the same to the byte.
        char printed[32];
        std::snprintf(printed, sizeof printed, "%.12g", e.greatestJd);
        record.jdTT = std::strtod(printed, nullptr);
        bool complete = true;
        for (std::size_t k = 0; k < kPlanetCount && complete; ++k) {
          const auto p = ephemeris.planet(kBodies[k], record.jdTT);
          if (p) record.planets[k] = {p->place.raDeg, p->place.decDeg, p->magnitude};
          complete = p.has_value();
        }
        if (complete)
          found[c].push_back(record);
        else
          faults[c].push_back("lunation " + std::to_string(record.lunation) + ": no planet places");
      }
    }
  };
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();
  std::vector<EclipsePlanets> records;
  for (std::size_t c = 0; c < chunkCount; ++c) {
    records.insert(records.end(), found[c].begin(), found[c].end());
    failures.insert(failures.end(), faults[c].begin(), faults[c].end());
  }
  return records;
}

std::vector<std::string> planetFileHeaderLines() {
  return {"source: Swiss Ephemeris " + swissEphemerisVersion() + ", long-span ephemeris files",
          "places: geocentric apparent right ascension and declination, true equator and equinox of date, "
          "at greatest eclipse (TT)",
          "planets: Mercury Venus Mars Jupiter Saturn",
          "units: micro-degrees, magnitude in hundredths"};
}

std::string writePlanetFile(const std::filesystem::path& dir, const std::vector<EclipsePlanets>& records) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return "cannot create " + dir.string() + ": " + ec.message();
  return writeFileAtomically(dir, kPlanetFileName, formatEclipsePlanets(planetFileHeaderLines(), records));
}

std::string describeSummary(const GenerationSummary& s) {
  char line[512];
  std::string text;
  std::snprintf(line, sizeof line,
                "full moons examined %ld, eclipses %ld, outside the ephemeris %ld, failures %zu\n",
                s.fullMoons, s.eclipses, s.outsideEphemeris, s.failures.size());
  text += line;
  const FitResiduals& w = s.worst;
  const auto& at = s.worstAtJd;
  std::snprintf(line, sizeof line,
                "largest fit residuals: x %.4f\" (JD %.5f), y %.4f\" (JD %.5f), lp %.4f\" (JD %.5f), "
                "lu %.4f\" (JD %.5f), lt %.4f\" (JD %.5f)\n",
                w.xArcsec, at[0], w.yArcsec, at[1], w.lpArcsec, at[2], w.luArcsec, at[3], w.ltArcsec, at[4]);
  text += line;
  std::snprintf(line, sizeof line,
                "largest fit residuals: gst %.2e deg (JD %.5f), ra %.6f deg (JD %.5f), dec %.6f deg (JD %.5f)\n",
                w.gstDeg, at[5], w.raDeg, at[6], w.decDeg, at[7]);
  text += line;
  const auto& o = s.overTolerance;
  std::snprintf(line, sizeof line,
                "entries over the fit tolerance (0.5\", 0.001 deg, 0.01 deg): x %ld, y %ld, lp %ld, lu %ld, "
                "lt %ld, gst %ld, ra %ld, dec %ld\n",
                o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7]);
  text += line;
  for (std::size_t i = 0; i < s.failures.size() && i < 20; ++i) text += "failure: " + s.failures[i] + "\n";
  return text;
}

}  // namespace tarvo::canongen
