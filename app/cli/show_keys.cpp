#include "app/cli/show_keys.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "catalogue/saros_table.h"
#include "circumstances/geometry.h"
#include "session/current_eclipse.h"
#include "timebase/delta_t.h"

namespace tarvo::cli {
namespace {

// A double shown as an integer: truncated, without a sign on zero.
void printIntegerKey(const char* key, double value) {
  double t = std::trunc(value);
  if (t == 0) t = 0;
  std::printf("%s %.0f\n", key, t);
}

// A signed angle in degrees to 4 decimals, never "-0.0000"; with
// wrapAt180 a longitude that rounds to −180 is shown as 180.
void printAngleKey(const char* key, double deg, bool wrapAt180) {
  double v = std::round(deg * 1e4) / 1e4;
  if (wrapAt180 && v <= -180) v += 360;
  if (v == 0) v = 0;
  std::printf("%s %.4f\n", key, v);
}

// Greatest eclipse, contacts and sub-lunar point as the report and the map
// find them (from hour 0 of the entry, ΔT as shown). Times are UT hours from
// day_start_jd. When the iterations did not converge, every value is "none".
void printGreatestEclipseKeys(const SessionState& shown) {
  SessionState s = shown;
  const EclipseCircumstances& e = updateCurrentEclipse(s);
  const bool converged = e.converged();
  std::printf("converged %d\n", converged ? 1 : 0);
  const auto hours = [&](const char* key, std::optional<double> t, bool present) {
    const double ut = t ? e.utHours(*t) : 0;
    if (converged && present && t && std::isfinite(ut)) {
      std::printf("%s %.6f\n", key, ut);
    } else {
      std::printf("%s none\n", key);
    }
  };
  if (converged && std::isfinite(e.dayStartJd)) {
    std::printf("day_start_jd %.6f\n", e.dayStartJd);
  } else {
    std::printf("day_start_jd none\n");
  }
  const ContactKinds kinds = contactKindsOf(s.current.eclipseType);
  hours("greatest_ut", e.greatestHours, true);
  const auto times = contactTimesInOrder(e.contacts);
  for (std::size_t i = 0; i < kContactNames.size(); ++i) {
    hours(kContactNames[i].key, times[i], hasContactsOn(kinds, kContactNames[i].circle));
  }
  if (converged) {
    printAngleKey("sublunar_lon", e.subLunar.longitudeDeg, true);
    printAngleKey("sublunar_lat", e.subLunar.latitudeDeg, false);
  } else {
    std::printf("sublunar_lon none\nsublunar_lat none\n");
  }
}

}  // namespace

void printShownEclipse(const SessionState& s) {
  printIntegerKey("year", s.year);
  printIntegerKey("month", s.month);
  printIntegerKey("day", s.current.eclipseDay);
  printIntegerKey("type", s.current.eclipseType);
  printIntegerKey("saros", s.current.saros);
  std::printf("member %d\n", SarosStartTable::memberNumber(s.current.saros, s.year));
  printIntegerKey("epoch_hour", s.current.epochHour);
  std::printf("jd_ut %.6f\n", s.current.greatestJd);
  std::printf("deltat %.3f\n", s.deltaT);
  std::printf("penumbral %.4f\n", s.current.penumbralMagnitude);
  std::printf("umbral %.4f\n", s.current.umbralMagnitude);
  std::printf("gamma %.4f\n", s.current.gamma);
  printGreatestEclipseKeys(s);
  std::printf("deltat_model %s\n", deltaTModelName(s.deltaTChoice.model));
  std::printf("deltat_sigma %.3f\n", s.deltaTSigma);
}

}  // namespace tarvo::cli
