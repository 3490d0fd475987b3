// Greatest eclipse and the contacts of the session's current eclipse, as the
// map display and the local report need them.
#pragma once

#include "core/session_state.h"

namespace tarvo {

// Brings the values kept for the current eclipse up to date: deltaTHours;
// greatest eclipse from greatestGuessHours with deltaT (greatestOffsetHours,
// the signed sub-lunar point in greatestLongitude/greatestLatitude and
// greatestSubLunar, greatestConverged, greatestDeltaTSeconds), then
// greatestGuessHours = greatestOffsetHours; the contacts; horizonCrossHours =
// 10000 (none); and dayStartJd, the UT Julian Day of 0 h UT of the eclipse's
// date. Uses state.current for the elements and greatestJd, epochHour of the
// state.
void updateGreatestEclipse(SessionState& state);

// True when greatest eclipse and every contact of the current eclipse
// converged; otherwise only the catalogue's own values may be shown.
bool currentEclipseConverged(const SessionState& state);

}  // namespace tarvo
