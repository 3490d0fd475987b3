// The eclipse in the plane of the Earth's shadow: the penumbra and the umbra
// as two hatched discs about the shadow axis, and the Moon as a hatched disc
// at each contact and at greatest eclipse, drawn one after another with the
// UT of each step as "hh:mm". Pure drawing from values; the animation's
// pacing is left to the caller through the steps' pauses.
#pragma once

#include <optional>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "surface/palette.h"

namespace tarvo {

class DrawingSurface;

// Pixels per arcsecond of the shadow plane.
inline constexpr double kShadowPlanePixelsPerArcsec = 0.025;
// Pause between the animation's steps.
inline constexpr int kSimulationPauseMs = 500;

struct SimulationInputs {
  // The eclipse: its elements x, y, lp, lu, lt, type, greatest eclipse,
  // contacts and the ΔT they were found with.
  EclipseCircumstances eclipse;
  std::optional<double> horizonCrossHours;  // moonrise or moonset within the eclipse, hours from epochHour
  int centreX = 0, centreY = 0;     // shadow axis: the map centre of the last layout, px
};

enum class SimulationStepKind {
  Shadow,      // penumbra and umbra at greatest eclipse
  Moon,        // time label and the Moon's disc at tHours
  ClearLabel,  // the time label's box cleared
};

struct SimulationStep {
  SimulationStepKind kind;
  double tHours;    // hours from epochHour (Shadow, Moon)
  PaletteIndex colour;  // the Moon's disc
  bool pauseAfter;  // kSimulationPauseMs before the next step
};

// The steps in drawing order: the shadow; P1, U1, U2, greatest, U3, U4, P4
// as the type has them (umbral contacts for types 1 and 2, internal ones for
// type 1); the label cleared; and a green Moon at a moonrise or moonset.
// The shadow is always followed by a pause, the contact steps only when
// there is no moonrise or moonset.
std::vector<SimulationStep> simulationSteps(const SimulationInputs& in);

void drawSimulationStep(DrawingSurface& surface, const SimulationInputs& in,
                        const SimulationStep& step);

// Every step at once: the animation's last frame.
void drawSimulation(DrawingSurface& surface, const SimulationInputs& in);

// The pixel of a shadow-plane point (arcsec; x to the left, y up) and the
// pixel radius of a shadow-plane radius (arcsec), both truncated.
struct ShadowPlanePixel {
  int x, y;
};
ShadowPlanePixel shadowPlanePixel(int centreX, int centreY, double xArcsec, double yArcsec);
int shadowPlaneRadiusPixels(double radiusArcsec);

// Outline circle in a palette colour about a shadow-plane point.
void drawShadowPlaneCircle(DrawingSurface& surface, int centreX, int centreY, double xArcsec,
                           double yArcsec, double radiusArcsec, PaletteIndex colour);
// Diagonal-cross hatch in a palette colour, flood-filled from the point up
// to pixels of exactly that colour; leaves the background mode transparent.
void hatchShadowPlane(DrawingSurface& surface, int centreX, int centreY, double xArcsec,
                      double yArcsec, PaletteIndex colour);

// The label box (400, 20)–(450, 40) cleared to black, then, for −24 < t < 24
// hours from epochHour, " hh:mm " of the UT t − ΔT + epochHour at (400, 20).
void drawSimulationTime(DrawingSurface& surface, double tHours, double epochHour,
                        double deltaTSeconds);

}  // namespace tarvo
