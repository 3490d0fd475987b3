// The session's current eclipse: taking a catalogue entry as the current one,
// and its circumstances computed once per paint.
#pragma once

#include "catalogue/eclipse_record.h"
#include "circumstances/eclipse_circumstances.h"
#include "session/session_state.h"

namespace tarvo {

// Makes entry (UT) the current eclipse: the cursor year and month,
// `current` and deltaT recomputed for it.
void takeCurrentEclipse(SessionState& state, const EclipseEntry& entry);

// deltaT for the state's greatestJd: the ΔT choice's model there plus its
// adjustment; and deltaTSigma, the model's uncertainty.
void recomputeDeltaT(SessionState& state);

// Computes the circumstances of `current` at deltaT from greatestGuessHours
// and keeps them in state.circumstances; sets greatestGuessHours = the
// greatest eclipse found (left alone when it did not converge) and
// horizonCrossHours to none (until a local report finds one).
const EclipseCircumstances& updateCurrentEclipse(SessionState& state);

}  // namespace tarvo
