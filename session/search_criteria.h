// The session's search criteria as the searches take them.
#pragma once

#include "session/catalogue_search.h"
#include "session/session_state.h"

namespace tarvo {

// The search criteria in force; sarosWanted is the series a Saros search
// looks for (sarosCriterion going forward, the shown eclipse's series going
// back and in the list).
SearchCriteria searchCriteriaOf(const SessionState& state, double sarosWanted);

}  // namespace tarvo
