// Position-level backtest of the extension: fits the model on a window of
// the files, predicts the span next to it, and compares the Moon's place
// relative to the antisolar point with the files near full moons close to
// the nodes (where eclipses happen).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include <swephexp.h>

#include "extension.h"
#include "extension_source.h"

using namespace tarvo::extension;

namespace {

double wrap180(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

struct Span {
    double fitStart, fitEnd, predictStart, predictEnd;
};

void report(const char* name, const Span& s, const FitSettings& settings) {
    auto model = ExtensionModel::fit(filePlaces, s.fitStart, s.fitEnd, settings);
    if (!model) {
        std::printf("%s: fit failed\n", name);
        return;
    }
    const FitStatistics& st = model->statistics();
    std::printf("%s: fit %d samples; residual rms/max: moon lon %.3f/%.3f\" lat %.3f/%.3f\" dist %.3f/%.3f km; "
                "sun lon %.3f/%.3f\" lat %.3f/%.3f\" dist %.3f/%.3f km\n",
                name, st.samples, st.moonLonRmsArcsec, st.moonLonMaxArcsec, st.moonLatRmsArcsec, st.moonLatMaxArcsec,
                st.moonDistRmsKm, st.moonDistMaxKm, st.sunLonRmsArcsec, st.sunLonMaxArcsec, st.sunLatRmsArcsec,
                st.sunLatMaxArcsec, st.sunDistRmsKm, st.sunDistMaxKm);
    // Errors of the Moon relative to the antisolar point, near full moons at the nodes.
    double maxLon = 0, maxLat = 0, maxDist = 0, sumLon = 0, sumLat = 0;
    int n = 0;
    for (double jd = s.predictStart; jd <= s.predictEnd; jd += 0.25) {
        auto f = filePlaces(jd);
        if (!f) continue;
        if (std::fabs(wrap180(f->moon.longitudeDeg - f->sun.longitudeDeg - 180)) > 10) continue;
        if (std::fabs(f->moon.latitudeDeg) > 1.6) continue;
        SunMoonPlaces m = model->evaluate(jd);
        double dLon = wrap180((m.moon.longitudeDeg - m.sun.longitudeDeg) - (f->moon.longitudeDeg - f->sun.longitudeDeg)) * 3600;
        double dLat = ((m.moon.latitudeDeg + m.sun.latitudeDeg) - (f->moon.latitudeDeg + f->sun.latitudeDeg)) * 3600;
        double dDist = (m.moon.distanceAu / f->moon.distanceAu - 1);
        maxLon = std::max(maxLon, std::fabs(dLon));
        maxLat = std::max(maxLat, std::fabs(dLat));
        maxDist = std::max(maxDist, std::fabs(dDist));
        sumLon += dLon * dLon;
        sumLat += dLat * dLat;
        ++n;
    }
    std::printf("%s: predicted %d instants; moon-antisun lon rms %.3f\" max %.3f\"; lat rms %.3f\" max %.3f\"; "
                "moon dist max rel %.2e\n",
                name, n, std::sqrt(sumLon / n), maxLon, std::sqrt(sumLat / n), maxLat, maxDist);
}

}  // namespace

int main(int argc, char** argv) {
    FitSettings settings;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--moon-degree")) settings.moonPolynomialDegree = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--sun-degree")) settings.sunPolynomialDegree = std::atoi(argv[i + 1]);
    }
    openEphemerisFiles();
    const Span end{swe_julday(16000, 1, 1, 0, SE_GREG_CAL), swe_julday(16600, 1, 1, 0, SE_GREG_CAL),
                   swe_julday(16600, 1, 1, 0, SE_GREG_CAL), swe_julday(16800, 1, 1, 0, SE_GREG_CAL) - 1};
    const Span start{swe_julday(-12599, 1, 1, 0, SE_JUL_CAL), swe_julday(-12199, 1, 1, 0, SE_JUL_CAL),
                     swe_julday(-12799, 1, 1, 0, SE_JUL_CAL), swe_julday(-12599, 1, 1, 0, SE_JUL_CAL)};
    std::string which = argc > 1 ? argv[1] : "both";
    if (which != "start") report("end", end, settings);
    if (which != "end") report("start", start, settings);
    return 0;
}
