#include "tools/canongen/swiss_ephemeris.h"

#include <swephexp.h>

#include <cmath>

namespace tarvo::canongen {

namespace {

constexpr double kKmPerAu = 149597870.700;
// The files change every 600 years, on January 1 (Julian calendar before 1600).
constexpr int kSegmentYears = 600;
// Requests this close (days) to a boundary always start from a reset.
constexpr double kBoundaryMarginDays = 5.0;

double segmentStartJd(long segment) {
  const int year = int(segment * kSegmentYears);
  return swe_julday(year, 1, 1, 0.0, year < 1600 ? SE_JUL_CAL : SE_GREG_CAL);
}

// The 600-year segment holding a TT Julian Day.
long segmentOf(double jd) {
  long segment = long(std::floor((jd - 1721423.5) / (365.25 * kSegmentYears)));
  while (jd < segmentStartJd(segment)) --segment;
  while (jd >= segmentStartJd(segment + 1)) ++segment;
  return segment;
}

}  // namespace

void SwissEphemeris::reset() {
  if (!fresh_) {
    swe_close();
    swe_set_ephe_path(const_cast<char*>(kSwissEphemerisPath));
  }
  fresh_ = true;
}

bool SwissEphemeris::prepareFor(double jdTT) {
  if (!(jdTT >= kSwissFirstJd && jdTT <= kSwissLastJd)) return false;
  const long segment = segmentOf(jdTT);
  const bool nearBoundary = jdTT - segmentStartJd(segment) < kBoundaryMarginDays ||
                            segmentStartJd(segment + 1) - jdTT < kBoundaryMarginDays;
  if (resetBeforeNext_ || nearBoundary || segment != lastSegment_) reset();
  resetBeforeNext_ = nearBoundary;
  lastSegment_ = segment;
  fresh_ = false;
  return true;
}

std::optional<EphemerisSample> SwissEphemeris::apparentPlace(int body, double jdTT) {
  if (!prepareFor(jdTT)) return std::nullopt;
  double xx[6] = {};
  char error[AS_MAXCH] = {};
  const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL;
  const int got = swe_calc(jdTT, body, flags, xx, error);
  // A result without SEFLG_SWIEPH came from the analytical fallback.
  if (got < 0 || (got & SEFLG_SWIEPH) == 0) return std::nullopt;
  if (!std::isfinite(xx[0]) || !std::isfinite(xx[1]) || !(xx[2] > 0)) return std::nullopt;
  return EphemerisSample{xx[0], xx[1], xx[2] * kKmPerAu};
}

std::optional<SwissEphemeris::PlanetSample> SwissEphemeris::planet(int body, double jdTT) {
  const std::optional<EphemerisSample> place = apparentPlace(body, jdTT);
  if (!place) return std::nullopt;
  // The magnitude from the same files (the request stays in the segment just read).
  double attr[20] = {};
  char error[AS_MAXCH] = {};
  const int got = swe_pheno(jdTT, body, SEFLG_SWIEPH, attr, error);
  if (got < 0 || (got & SEFLG_SWIEPH) == 0 || !std::isfinite(attr[4])) return std::nullopt;
  return PlanetSample{*place, attr[4]};
}

SwissEphemeris::SwissEphemeris() {
  fresh_ = false;
  reset();
}

SwissEphemeris::~SwissEphemeris() { swe_close(); }

bool SwissEphemeris::covers(double jdTT) const { return jdTT >= kSwissFirstJd && jdTT <= kSwissLastJd; }

std::optional<EphemerisSample> SwissEphemeris::sun(double jdTT) { return apparentPlace(SE_SUN, jdTT); }

std::optional<EphemerisSample> SwissEphemeris::moon(double jdTT) { return apparentPlace(SE_MOON, jdTT); }

std::optional<double> SwissEphemeris::siderealDeg(double jdClock) {
  const double hours = swe_sidtime(jdClock);
  if (!std::isfinite(hours)) return std::nullopt;
  return hours * 15.0;
}

std::unique_ptr<Ephemeris> makeSwissEphemeris() { return std::make_unique<SwissEphemeris>(); }

std::string swissEphemerisVersion() {
  char text[AS_MAXCH] = {};
  return swe_version(text);
}

}  // namespace tarvo::canongen
