#include "tools/canongen/swiss_ephemeris.h"

#include <swephexp.h>

#include <cmath>

namespace tarvo::canongen {

namespace {

constexpr double kKmPerAu = 149597870.700;

std::optional<EphemerisSample> apparentPlace(int body, double jdTT) {
  if (!(jdTT >= kSwissFirstJd && jdTT <= kSwissLastJd)) return std::nullopt;
  double xx[6] = {};
  char error[AS_MAXCH] = {};
  const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL;
  const int got = swe_calc(jdTT, body, flags, xx, error);
  // A result without SEFLG_SWIEPH came from the analytical fallback.
  if (got < 0 || (got & SEFLG_SWIEPH) == 0) return std::nullopt;
  if (!std::isfinite(xx[0]) || !std::isfinite(xx[1]) || !(xx[2] > 0)) return std::nullopt;
  return EphemerisSample{xx[0], xx[1], xx[2] * kKmPerAu};
}

}  // namespace

SwissEphemeris::SwissEphemeris() {
  swe_close();
  swe_set_ephe_path(const_cast<char*>(kSwissEphemerisPath));
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

}  // namespace tarvo::canongen
