#include "session/current_eclipse.h"

#include "timebase/delta_t.h"
#include "timebase/time_scales.h"

namespace tarvo {

void takeCurrentEclipse(SessionState& s, const EclipseEntry& r) {
  s.current = r;
  s.year = r.year;
  s.month = r.month;
  recomputeDeltaT(s);
}

void recomputeDeltaT(SessionState& s) {
  const double t = centuriesFromJ2000(s.current.greatestJd);
  s.deltaT = s.deltaTChoice.secondsAt(t);
  s.deltaTSigma = s.deltaTChoice.sigmaSecondsAt(t);
}

const EclipseCircumstances& updateCurrentEclipse(SessionState& state) {
  state.circumstances = eclipseCircumstances(state.current, state.deltaT, state.greatestGuessHours);
  if (state.circumstances.greatestConverged) state.greatestGuessHours = state.circumstances.greatestHours;
  state.horizonCrossHours.reset();
  return state.circumstances;
}

}  // namespace tarvo
