// The `key value` lines of `tarvo show` for the shown eclipse, shared by the
// commands that print an eclipse that way.
#pragma once

#include "session/session_state.h"

namespace tarvo::cli {

// The keys of the current eclipse, one `key value` per line, in a fixed order;
// later keys are appended at the end.
void printShownEclipse(const SessionState& s);

}  // namespace tarvo::cli
