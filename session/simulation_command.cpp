#include "session/simulation_command.h"

#include "surface/drawing_surface.h"
#include "map/info_panel.h"
#include "session/map_display.h"

namespace tarvo {

SimulationInputs simulationInputsOf(const SessionState& state) {
  SimulationInputs in;
  in.eclipse = state.circumstances;
  in.horizonCrossHours = state.horizonCrossHours;
  in.centreX = state.mapFrame.centreX;
  in.centreY = state.mapFrame.centreY;
  return in;
}

InfoPanelValues simulationPanelValues(const SessionState& state) {
  return infoPanelValuesOf(state, state.circumstances);
}

SimulationRun startSimulation(SessionState& state, DrawingSurface& surface) {
  surface.setPen(Pen{});
  surface.setBrush(Brush{});
  surface.clear(paletteColour(PaletteIndex::Black));
  surface.setFont(FontRecipe::Text);
  surface.setBackgroundMode(BackgroundMode::Opaque);
  surface.setBackgroundColour(paletteColour(PaletteIndex::Black));
  surface.setTextColour(paletteColour(PaletteIndex::White));
  drawInfoPanel(surface, simulationPanelValues(state));

  SimulationRun run;
  run.inputs = simulationInputsOf(state);
  // Without a converged greatest eclipse and contacts there are no places
  // to draw the Moon at: the panel alone is shown.
  if (run.inputs.eclipse.converged()) run.steps = simulationSteps(run.inputs);
  simulationStep(run, surface);
  return run;
}

bool simulationPauses(const SimulationRun& run) {
  return run.next > 0 && run.next <= run.steps.size() && run.steps[run.next - 1].pauseAfter;
}

bool simulationStep(SimulationRun& run, DrawingSurface& surface) {
  if (simulationFinished(run)) return false;
  drawSimulationStep(surface, run.inputs, run.steps[run.next]);
  ++run.next;
  return true;
}

bool simulationFinished(const SimulationRun& run) { return run.next >= run.steps.size(); }

void drawSimulationFinal(SessionState& state, DrawingSurface& surface) {
  SimulationRun run = startSimulation(state, surface);
  while (simulationStep(run, surface)) {
  }
}

}  // namespace tarvo
