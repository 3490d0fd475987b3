// tarvo show YEAR MONTH [--next N | --prev N] [criteria] [--city NAME | --site LON LAT HEIGHT]
//            [--dt-adjust SECONDS]
// Applies the criteria as the Search dialog's OK does, lands on the cursor as
// a repaint does, then steps N times as Next or Previous eclipse does, and
// prints the current eclipse as `key value` lines.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "catalogue/saros_table.h"
#include "circumstances/geometry.h"
#include "core/session_state.h"
#include "session/current_eclipse.h"
#include "session/landing.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "show YEAR MONTH [--next N | --prev N] " + criteriaUsage() +
                           " [--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]";

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
  hours("p1", e.contacts.p1, true);
  hours("u1", e.contacts.u1, kinds.umbral);
  hours("u2", e.contacts.u2, kinds.total);
  hours("u3", e.contacts.u3, kinds.total);
  hours("u4", e.contacts.u4, kinds.umbral);
  hours("p4", e.contacts.p4, true);
  if (converged) {
    printAngleKey("sublunar_lon", e.subLunar.longitudeDeg, true);
    printAngleKey("sublunar_lat", e.subLunar.latitudeDeg, false);
  } else {
    std::printf("sublunar_lon none\nsublunar_lat none\n");
  }
}

// The keys of the current eclipse, one `key value` per line, in a fixed order;
// later keys are appended at the end.
void printShownEclipse(const SessionState& s) {
  printIntegerKey("year", s.year);
  printIntegerKey("month", s.month);
  printIntegerKey("day", s.eclipseDay);
  printIntegerKey("type", s.eclipseType);
  printIntegerKey("saros", s.saros);
  std::printf("member %d\n", SarosStartTable::memberNumber(s.saros, s.year));
  printIntegerKey("epoch_hour", s.epochHour);
  std::printf("jd_ut %.6f\n", s.greatestJd);
  std::printf("deltat %.3f\n", s.deltaT);
  std::printf("penumbral %.4f\n", s.penumbralMagnitude);
  std::printf("umbral %.4f\n", s.umbralMagnitude);
  std::printf("gamma %.4f\n", s.gamma);
  printGreatestEclipseKeys(s);
}

int runShow(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  OptionParser parser("show", kUsage);
  addNextOption(parser, options);
  addDeltaTAdjustOption(parser, options);
  addPreviousOption(parser, options);
  addSiteOptions(parser, options);
  CriteriaOptions criteria;
  addCriteriaOptions(parser, criteria);
  if (!parser.parse(args)) return kExitUsage;
  if (const std::string e = takeYearMonth(parser.positional(), options, true); !e.empty()) {
    return parser.usageError(e);
  }
  state.year = options.year;
  state.month = options.month;
  state.deltaTAdjust = options.deltaTAdjust;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);

  CanonReader reader;
  const SteppedLanding run = landAndStep(state, reader, options);
  reportDefects(reader);
  if (run.outcome == LandingOutcome::Shown) printShownEclipse(state);
  if (run.outcome == LandingOutcome::Shown && run.previousMissedAFile) return kExitNoCatalogue;
  return reportOutcome(run.outcome);
}

const CommandRegistration kShow{{"show", kUsage.c_str(), runShow}};

}  // namespace
}  // namespace tarvo::cli
