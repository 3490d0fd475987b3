// tarvo show YEAR MONTH [--next N | --prev N] [criteria] [--city NAME | --site LON LAT HEIGHT]
//            [--dt-adjust SECONDS]
// Applies the criteria as the Search dialog's OK does, lands on the cursor as
// a repaint does, then steps N times as Next or Previous eclipse does, and
// prints the current eclipse as `key value` lines.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "app/cli/show_keys.h"
#include "catalogue/canon_reader.h"
#include "session/session_state.h"
#include "session/landing.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "show YEAR MONTH [--next N | --prev N] " + criteriaUsage() +
                           " [--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]";

int runShow(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  OptionParser parser("show", kUsage);
  addNextOption(parser, options);
  addDeltaTAdjustOption(parser, options);
  addDeltaTModelOption(parser, options.deltaTModel);
  addPreviousOption(parser, options);
  addSiteOptions(parser, options);
  CriteriaOptions criteria;
  addCriteriaOptions(parser, criteria);
  std::optional<YearMonthOfJd> fromJd;
  addJulianDayCursorOption(parser, fromJd);
  if (!parser.parse(args)) return kExitUsage;
  if (fromJd) {
    if (!parser.positional().empty()) return parser.usageError("give either YEAR MONTH or --jd JD");
    options.year = fromJd->year;
    options.month = fromJd->month;
    options.cursorGiven = true;
  } else if (const std::string e = takeYearMonth(parser.positional(), options, true); !e.empty()) {
    return parser.usageError(e);
  }
  state.year = options.year;
  state.month = options.month;
  state.deltaTAdjust = options.deltaTAdjust;
  state.deltaTModel = options.deltaTModel;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);

  CanonReader reader;
  const SteppedLanding run = landAndStep(state, reader, options);
  reportDefects(reader);
  if (run.outcome == LandingOutcome::Shown) printShownEclipse(state);
  if (run.outcome == LandingOutcome::Shown && run.previousMissedAFile) return kExitNoCatalogue;
  return reportOutcome(run.outcome, reader);
}

const CommandRegistration kShow{{"show", kUsage.c_str(), runShow}};

}  // namespace
}  // namespace tarvo::cli
