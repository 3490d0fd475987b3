// What the sub-commands that land on an eclipse say when landing fails, and
// which catalogue files were cut short by a bad entry.
#pragma once

#include "catalogue/canon_reader.h"
#include "session/landing.h"

namespace tarvo::cli {

// Prints the paint's text for a failed landing on standard error and returns
// the exit code (kExitShown when the eclipse was shown).
int reportOutcome(LandingOutcome outcome);

// Names on standard error each file the reader treated as ending early.
void reportDefects(const CanonReader& reader);

}  // namespace tarvo::cli
