// tarvo show YEAR MONTH [--next N] [--dt-adjust SECONDS] [--search-type K]
//            [--type CODE] [--saros N]
// Lands on the cursor as a repaint does, then steps N times as Next eclipse
// does, and prints the current eclipse as `key value` lines.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/command_registry.h"
#include "catalogue/canon_reader.h"
#include "catalogue/landing.h"
#include "catalogue/saros_table.h"
#include "core/session_state.h"

namespace tarvo::cli {
namespace {

constexpr const char* kUsage =
    "show YEAR MONTH [--next N] [--dt-adjust SECONDS] [--search-type 0..3] [--type 1..6] "
    "[--saros -400..400]";

int usageError(const char* why) {
  std::fprintf(stderr, "tarvo show: %s\nusage: tarvo %s\n", why, kUsage);
  return kExitUsage;
}

bool parseWholeNumber(const std::string& s, double lo, double hi, double& out) {
  return parseNumber(s, out) && out == std::trunc(out) && out >= lo && out <= hi;
}

// A double shown as an integer: truncated, without a sign on zero.
void printIntegerKey(const char* key, double value) {
  double t = std::trunc(value);
  if (t == 0) t = 0;
  std::printf("%s %.0f\n", key, t);
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
}

void reportDefects(const CanonReader& reader) {
  for (const CanonDefect& d : reader.defectsSeen()) {
    std::fprintf(stderr, "tarvo: %s: entry %zu (byte %" PRIu64 ") rejected: %s", d.fileName.c_str(),
                 d.entryNumber, d.byteOffset, describe(d.kind));
    if (d.valueNumber > 0) std::fprintf(stderr, " (number %d)", d.valueNumber);
    std::fprintf(stderr, "; the file is read as ending before it\n");
  }
}

int reportOutcome(LandingOutcome outcome) {
  switch (outcome) {
    case LandingOutcome::Shown: return kExitShown;
    case LandingOutcome::NoCatalogueAtCursor:
    case LandingOutcome::NoCatalogueWhileSearching:
      std::fprintf(stderr, "  No bessel file! \n  Please start at directory which EC****.prn available.\n");
      return kExitNoCatalogue;
    case LandingOutcome::EndOfCatalogue:
      std::fprintf(stderr, "The end of the Bessel file\n");
      return kExitEndOfCatalogue;
    case LandingOutcome::SarosNotFound:
      std::fprintf(stderr, "This SAROS series is not available within 400 years.\n");
      return kExitSarosNotFound;
  }
  return kExitUsage;
}

int runShow(const std::vector<std::string>& args) {
  SessionState state;
  double nextSteps = 0;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    double v = 0;
    if (a == "--next") {
      if (!hasValue || !parseWholeNumber(args[++i], 0, 1e6, nextSteps)) return usageError("--next needs a count 0..1000000");
    } else if (a == "--dt-adjust") {
      if (!hasValue || !parseNumber(args[++i], v) || v < -10000 || v > 10000) {
        return usageError("--dt-adjust needs seconds in -10000..10000");
      }
      state.deltaTAdjust = v;
    } else if (a == "--search-type") {
      if (!hasValue || !parseWholeNumber(args[++i], 0, 3, v)) return usageError("--search-type needs 0..3");
      state.searchType = static_cast<int>(v);
    } else if (a == "--type") {
      if (!hasValue || !parseWholeNumber(args[++i], 1, 6, v)) return usageError("--type needs a type code 1..6");
      state.typeCriterion = static_cast<int>(v);
    } else if (a == "--saros") {
      if (!hasValue || !parseWholeNumber(args[++i], -400, 400, v)) return usageError("--saros needs -400..400");
      state.sarosCriterion = v;
    } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.') {
      return usageError(("unknown option " + a).c_str());
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return usageError("YEAR and MONTH are needed");
  if (!parseNumber(positional[0], state.year)) return usageError("YEAR is not a number");
  if (!parseNumber(positional[1], state.month)) return usageError("MONTH is not a number");

  CanonReader reader;
  state.pendingAction = kLandAtCursor;
  LandingOutcome outcome = positionForPaint(state, reader);
  for (double step = 0; step < nextSteps && outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;
    outcome = positionForPaint(state, reader);
  }
  reportDefects(reader);
  if (outcome == LandingOutcome::Shown) printShownEclipse(state);
  return reportOutcome(outcome);
}

const CommandRegistration kShow{{"show", kUsage, runShow}};

}  // namespace
}  // namespace tarvo::cli
