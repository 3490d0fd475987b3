// tarvo-extension-fit: fits the Sun and Moon models that extend the canon
// beyond the ephemeris files, and checks them at the level of positions.
//   tarvo-extension-fit --write FILE   fits the two production models and
//                                      writes them (the committed file)
//   tarvo-extension-fit --positions    backtest: fits next to a span the
//                                      files cover and compares there
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <swephexp.h>

#include "base/angles.h"
#include "tools/canongen/extension.h"
#include "tools/canongen/extension_ephemeris.h"
#include "tools/canongen/extension_source.h"
#include "tools/canongen/extension_windows.h"

using namespace tarvo::extension;
using namespace tarvo::canongen;

namespace {

void printStatistics(const char* name, const ExtensionModel& model) {
    const FitStatistics& st = model.statistics();
    std::printf("%s: fit on %d samples, residual rms/max: Moon longitude %.3f/%.3f\", latitude %.3f/%.3f\", "
                "distance %.3f/%.3f km; Sun longitude %.3f/%.3f\", latitude %.3f/%.3f\", distance %.1f/%.1f km\n",
                name, st.samples, st.moonLonRmsArcsec, st.moonLonMaxArcsec, st.moonLatRmsArcsec, st.moonLatMaxArcsec,
                st.moonDistRmsKm, st.moonDistMaxKm, st.sunLonRmsArcsec, st.sunLonMaxArcsec, st.sunLatRmsArcsec,
                st.sunLatMaxArcsec, st.sunDistRmsKm, st.sunDistMaxKm);
}

// Errors of the predicted Moon relative to the antisolar point, near full
// moons close to the nodes (where eclipses happen), every 6 hours.
void comparePositions(const char* name, const ExtensionModel& model, double fromJd, double toJd) {
    double maxLon = 0, maxLat = 0, maxDist = 0, sumLon = 0, sumLat = 0;
    int n = 0;
    for (double jd = fromJd; jd <= toJd; jd += 0.25) {
        const auto f = filePlaces(jd);
        if (!f) continue;
        if (std::fabs(tarvo::angleDiffDeg(f->moon.longitudeDeg - f->sun.longitudeDeg, 180)) > 10) continue;
        if (std::fabs(f->moon.latitudeDeg) > 1.6) continue;
        const SunMoonPlaces m = model.evaluate(jd);
        const double dLon =
            tarvo::angleDiffDeg(m.moon.longitudeDeg - m.sun.longitudeDeg, f->moon.longitudeDeg - f->sun.longitudeDeg) * 3600;
        const double dLat = ((m.moon.latitudeDeg + m.sun.latitudeDeg) - (f->moon.latitudeDeg + f->sun.latitudeDeg)) * 3600;
        const double dDist = m.moon.distanceAu / f->moon.distanceAu - 1;
        maxLon = std::max(maxLon, std::fabs(dLon));
        maxLat = std::max(maxLat, std::fabs(dLat));
        maxDist = std::max(maxDist, std::fabs(dDist));
        sumLon += dLon * dLon;
        sumLat += dLat * dLat;
        ++n;
    }
    if (n == 0) return;
    std::printf("%s: %d predicted instants near eclipses; Moon minus antisolar point: longitude rms %.3f\" max %.3f\", "
                "latitude rms %.3f\" max %.3f\"; Moon distance max relative error %.2e\n",
                name, n, std::sqrt(sumLon / n), maxLon, std::sqrt(sumLat / n), maxLat, maxDist);
}

int backtestPositions() {
    for (const BacktestSpan& span : {kBacktestEnd, kBacktestStart}) {
        auto model = ExtensionModel::fit(filePlaces, span.fitFromJd, span.fitToJd);
        if (!model) {
            std::fprintf(stderr, "tarvo-extension-fit: %s fit failed\n", span.name);
            return 1;
        }
        printStatistics(span.name, *model);
        comparePositions(span.name, *model, span.predictFromJd, span.predictToJd);
    }
    return 0;
}

int writeProduction(const std::string& path) {
    auto before = ExtensionModel::fit(filePlaces, kProductionBefore.fitFromJd, kProductionBefore.fitToJd);
    auto after = ExtensionModel::fit(filePlaces, kProductionAfter.fitFromJd, kProductionAfter.fitToJd);
    if (!before || !after) {
        std::fprintf(stderr, "tarvo-extension-fit: production fit failed\n");
        return 1;
    }
    printStatistics("before the files", *before);
    printStatistics("after the files", *after);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << formatExtensionModels(*before, *after);
    out.close();
    if (!out) {
        std::fprintf(stderr, "tarvo-extension-fit: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    openEphemerisFiles();
    if (argc == 3 && !std::strcmp(argv[1], "--write")) return writeProduction(argv[2]);
    if (argc == 2 && !std::strcmp(argv[1], "--positions")) return backtestPositions();
    std::fputs("usage: tarvo-extension-fit --write FILE | --positions\n", stderr);
    return 2;
}
