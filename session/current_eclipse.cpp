#include "session/current_eclipse.h"

#include "timebase/delta_t.h"
#include "timebase/time_scales.h"

namespace tarvo {

void takeCurrentEclipse(SessionState& s, const EclipseEntry& r) {
  s.current = r;
  s.year = r.year;
  s.month = r.month;
  s.eclipseDay = r.eclipseDay;
  s.eclipseType = r.eclipseType;
  s.penumbralMagnitude = r.penumbralMagnitude;
  s.umbralMagnitude = r.umbralMagnitude;
  s.gamma = r.gamma;
  s.greatestJd = r.greatestJd;
  s.ninthValue = r.ninthValue;
  s.saros = r.saros;
  s.epochHour = r.epochHour;
  recomputeDeltaT(s);
}

void recomputeDeltaT(SessionState& s) {
  const double t = centuriesFromJ2000(s.greatestJd);
  s.deltaT = s.deltaTChoice.secondsAt(t);
  s.deltaTSigma = s.deltaTChoice.sigmaSecondsAt(t);
}

const EclipseCircumstances& updateCurrentEclipse(SessionState& state) {
  state.circumstances = eclipseCircumstances(state.current, state.deltaT, state.greatestGuessHours);
  if (state.circumstances.greatestConverged) state.greatestGuessHours = state.circumstances.greatestHours;
  state.horizonCrossHours = 10000;
  return state.circumstances;
}

}  // namespace tarvo
