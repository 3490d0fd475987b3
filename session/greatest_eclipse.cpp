#include "session/greatest_eclipse.h"

#include <cmath>

#include "circumstances/geometry.h"

namespace tarvo {

void updateGreatestEclipse(SessionState& state) {
  const EclipseRecord& r = state.current;
  state.deltaTHours = state.deltaT / 3600.0;
  state.greatestDeltaTSeconds = state.deltaT;
  const GreatestEclipse g = findGreatest(r, state.greatestGuessHours, state.deltaT);
  state.greatestConverged = g.converged && std::isfinite(g.subLunar.longitudeDeg) &&
                            std::isfinite(g.subLunar.latitudeDeg);
  if (state.greatestConverged) {
    state.greatestOffsetHours = g.tHours;
    state.greatestSubLunar = g.subLunar;
    state.greatestGuessHours = g.tHours;
    state.contacts = findContacts(r, g.tHours);
  } else {
    // No usable greatest eclipse: keep finite placeholders (the reference
    // hour, no contacts) and leave the starting guess alone; the flags tell
    // every reader not to draw or print them.
    state.greatestOffsetHours = 0;
    state.greatestSubLunar = {0, 0};
    state.contacts = ContactTimes{};
  }
  state.greatestLongitude = state.greatestSubLunar.longitudeDeg;
  state.greatestLatitude = state.greatestSubLunar.latitudeDeg;
  state.horizonCrossHours = 10000;
  state.dayStartJd =
      state.greatestJd - (state.greatestOffsetHours + state.epochHour - state.deltaTHours) / 24.0;
}

bool currentEclipseConverged(const SessionState& state) {
  return state.greatestConverged && state.contacts.converged;
}

}  // namespace tarvo
