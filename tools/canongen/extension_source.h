// The Sun and the Moon from the ephemeris files, in the frame the extension
// is fitted in, and the conversion of extension places to apparent
// equatorial coordinates with the library's nutation and obliquity.
#pragma once

#include <optional>

#include "extension.h"

namespace tarvo::extension {

// Sets the library's file path once (idempotent). The library keeps global
// state: call these functions from one thread at a time.
void openEphemerisFiles();

// Apparent places of date minus the nutation in longitude, read from the
// files only: nullopt where the files do not reach (no analytic fallback).
std::optional<SunMoonPlaces> filePlaces(double jdTT);

// Apparent geocentric right ascension and declination (degrees, true
// equator and equinox of date) and distance (AU).
struct ApparentEquatorial {
    double raDeg = 0;
    double decDeg = 0;
    double distanceAu = 0;
};

// Adds the nutation in longitude to a place of the fitted frame and turns it
// to the true equator of date. The library's nutation and obliquity are
// analytic and need no files.
ApparentEquatorial toApparentEquatorial(const EclipticPlace& place, double jdTT);

}  // namespace tarvo::extension
