// The Simulation command: the information panel, then the Moon's passage
// through the Earth's shadow drawn step by step on the same surface. The
// caller paces the steps (a window with a timer, 500 ms where a step asks
// for a pause) or draws them all at once (the headless renderer).
#pragma once

#include <cstddef>
#include <vector>

#include "session/session_state.h"
#include "map/info_panel.h"
#include "map/simulation.h"

namespace tarvo {

class DrawingSurface;

struct SimulationRun {
  SimulationInputs inputs;
  std::vector<SimulationStep> steps;
  std::size_t next = 0;  // index of the next step to draw
};

// The simulation's inputs: the current eclipse's circumstances as the last
// paint found them, the moonrise/moonset time of the last local report, and
// the shadow axis at the map centre of the last layout.
SimulationInputs simulationInputsOf(const SessionState& state);

// The information panel's values for the simulation: the map display's, for
// the circumstances the last paint found (map or local report alike).
InfoPanelValues simulationPanelValues(const SessionState& state);

// Clears the surface to black, draws the information panel in the text font
// (white on opaque black) and the shadow, the first step.
SimulationRun startSimulation(SessionState& state, DrawingSurface& surface);

// True when the step just drawn is to stay alone on the screen for
// kSimulationPauseMs before the next one.
bool simulationPauses(const SimulationRun& run);

// Draws the next step; false when none was left.
bool simulationStep(SimulationRun& run, DrawingSurface& surface);

bool simulationFinished(const SimulationRun& run);

// The animation's last frame: the command with every step drawn at once.
void drawSimulationFinal(SessionState& state, DrawingSurface& surface);

}  // namespace tarvo
