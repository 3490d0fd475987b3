// What the sub-commands that land on an eclipse say when landing fails, and
// which catalogue files were cut short by a bad entry.
#pragma once

#include <string>

#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "session/session_state.h"
#include "session/landing.h"

namespace tarvo::cli {

// Prints the paint's text for a failed landing on standard error (with the
// missing file's line for a missing catalogue) and returns the exit code
// (kExitShown when the eclipse was shown).
int reportOutcome(LandingOutcome outcome, const CanonReader& reader);

// The search's no-file texts and the missing file's line, on standard error.
void printSearchNoFileTexts(const CanonReader& reader);

// The missing file's line (missingCatalogueLine) on standard error, if any.
void printMissingCatalogueLine(const CanonReader& reader);

struct SteppedLanding {
  LandingOutcome outcome = LandingOutcome::Shown;
  // A Previous could not open a file after its window's first (its texts
  // were printed on standard error; the eclipse found so far is shown).
  bool previousMissedAFile = false;
};

// Whether a Previous step is taken after a paint with this outcome: an
// eclipse is shown, or the cursor lies after the catalogue's last eclipse
// (the window's Previous goes back to it from there).
bool previousStepsFrom(LandingOutcome outcome);

// Lands on the cursor as a repaint does, then takes options.nextSteps Next
// eclipse steps, or options.prevSteps Previous eclipse steps (each the
// backward search from the shown eclipse and then the landing repaint), as
// long as an eclipse is shown.
SteppedLanding landAndStep(SessionState& state, CanonReader& reader, const SharedOptions& options);

// Names on standard error each damaged catalogue file the reader met (the
// file, its first bad line and what is wrong with it).
void reportDefects(const CanonReader& reader);
// Whether reportDefects named a damaged file: a command that read one did not
// have the whole catalogue, so its answer is not to be taken as shown.
bool catalogueDamageReported();

// The city list's message on standard error: the lines skipped, or for a
// list that cannot be read its file, the reason and the places looked in.
void printSiteListNotice(const std::string& notice, bool unreadable);

// Reads the city list into `sites` as the first paint reads it (its failure
// texts go to standard error and the command goes on), then applies --city
// or --site. Returns the usage error, empty when there is none.
std::string loadSitesAndApply(const SharedOptions& options, SiteList& sites, SessionState& state);

}  // namespace tarvo::cli
