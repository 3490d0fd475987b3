#include "extension_source.h"

#include <swephexp.h>

namespace tarvo::extension {
namespace {

constexpr char kEphemerisPath[] = "/usr/share/libswe/ephe";

// True obliquity and nutation in longitude at a TT Julian Day, degrees.
struct Nutation {
    double trueObliquityDeg;
    double longitudeDeg;
};

Nutation nutationAt(double jdTT) {
    double x[6] = {};
    char err[AS_MAXCH] = {};
    swe_calc(jdTT, SE_ECL_NUT, 0, x, err);
    return {x[0], x[2]};
}

std::optional<EclipticPlace> bodyPlace(double jdTT, int body, double nutationLonDeg) {
    double x[6] = {};
    char err[AS_MAXCH] = {};
    const int flags = SEFLG_SWIEPH;
    int rc = swe_calc(jdTT, body, flags, x, err);
    // A return without SEFLG_SWIEPH means the library fell back to another
    // ephemeris: not the files, so not accepted.
    if (rc < 0 || (rc & SEFLG_SWIEPH) == 0) return std::nullopt;
    return EclipticPlace{x[0] - nutationLonDeg, x[1], x[2]};
}

}  // namespace

void openEphemerisFiles() {
    thread_local bool opened = false;
    if (!opened) {
        swe_set_ephe_path(kEphemerisPath);
        opened = true;
    }
}

std::optional<SunMoonPlaces> filePlaces(double jdTT) {
    openEphemerisFiles();
    const Nutation nut = nutationAt(jdTT);
    auto sun = bodyPlace(jdTT, SE_SUN, nut.longitudeDeg);
    auto moon = bodyPlace(jdTT, SE_MOON, nut.longitudeDeg);
    if (!sun || !moon) return std::nullopt;
    return SunMoonPlaces{*sun, *moon};
}

ApparentEquatorial toApparentEquatorial(const EclipticPlace& place, double jdTT) {
    const Nutation nut = nutationAt(jdTT);
    double ecl[3] = {place.longitudeDeg + nut.longitudeDeg, place.latitudeDeg, place.distanceAu};
    double equ[3] = {};
    swe_cotrans(ecl, equ, -nut.trueObliquityDeg);
    return {equ[0], equ[1], equ[2]};
}

}  // namespace tarvo::extension
