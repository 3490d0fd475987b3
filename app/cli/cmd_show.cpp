// tarvo show YEAR MONTH ...
// Applies the criteria as the Search dialog's OK does, lands on the cursor as
// a repaint does, then steps N times as Next or Previous eclipse does, and
// prints the current eclipse as `key value` lines.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/eclipse_options.h"
#include "app/cli/show_keys.h"
#include "catalogue/canon_reader.h"
#include "session/session_state.h"
#include "session/landing.h"

namespace tarvo::cli {
namespace {

struct ShowArgs {
  EclipseOptions eclipse;
  std::optional<YearMonthOfJd> fromJd;
};

OptionParser showParser(ShowArgs& a) {
  OptionParser parser("show",
                      "Lands on the first eclipse at or after the month as the window does (after the criteria, "
                      "as the Search dialog's OK), steps as asked and prints the eclipse as key value lines.");
  addEclipseOptions(parser, a.eclipse);
  parser.add(julianDayCursorOption(a.fromJd));
  return parser;
}

int runShow(const std::vector<std::string>& args) {
  ShowArgs a;
  OptionParser parser = showParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  SharedOptions& options = a.eclipse.shared;
  if (a.fromJd) {
    if (!parser.positional().empty()) return parser.usageError("give either YEAR MONTH or --jd JD");
    options.year = a.fromJd->year;
    options.month = a.fromJd->month;
    options.cursorGiven = true;
  } else if (const std::string e = checkEclipseOptions(parser.positional(), a.eclipse); !e.empty()) {
    return parser.usageError(e);
  }
  SessionState state;
  applyCursorAndDeltaT(options, state);
  if (const std::string e = applyCriteria(a.eclipse.criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);

  CanonReader reader;
  const SteppedLanding run = landAndStep(state, reader, options);
  reportDefects(reader);
  if (run.outcome == LandingOutcome::Shown) printShownEclipse(state);
  if (run.outcome == LandingOutcome::Shown && run.previousMissedAFile) return kExitNoCatalogue;
  return reportOutcome(run.outcome, reader);
}

const CommandRegistration kShow{{"show", [] {
                                   ShowArgs a;
                                   return showParser(a).syntax();
                                 },
                                 runShow}};

}  // namespace
}  // namespace tarvo::cli
