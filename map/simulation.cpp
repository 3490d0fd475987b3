#include "map/simulation.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "surface/drawing_surface.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {


constexpr PaletteIndex kPenumbraColour = PaletteIndex::Brown;
constexpr PaletteIndex kUmbraColour = PaletteIndex::LightBlue;
// The Moon at moonrise or moonset.
constexpr PaletteIndex kHorizonColour = PaletteIndex::Green;
constexpr double kNoLabelHours = 100;  // drawSimulationTime's "clear only" time

// Truncation toward zero into the int range; NaN gives 0 (nothing sensible
// to draw, but no undefined conversion either).
int truncToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

// The Moon's radius in the shadow plane at t: half the difference of the
// umbral and internal contact distances.
double moonRadiusArcsec(const EclipseElements& e) { return (e.lu - e.lt) / 2; }

void drawShadow(DrawingSurface& s, const SimulationInputs& in) {
  const EclipseElements e = elementsAt(in.eclipse.record, in.eclipse.greatestHours);
  const double m = moonRadiusArcsec(e);
  drawShadowPlaneCircle(s, in.centreX, in.centreY, 0, 0, e.lp - m, kPenumbraColour);
  hatchShadowPlane(s, in.centreX, in.centreY, 0, 0, kPenumbraColour);
  drawShadowPlaneCircle(s, in.centreX, in.centreY, 0, 0, e.lu - m, kUmbraColour);
  hatchShadowPlane(s, in.centreX, in.centreY, 0, 0, kUmbraColour);
}

void drawMoon(DrawingSurface& s, const SimulationInputs& in, double t, PaletteIndex colour) {
  const EclipseElements e = elementsAt(in.eclipse.record, t);
  drawSimulationTime(s, t, in.eclipse.record.epochHour, in.eclipse.deltaTSeconds);
  drawShadowPlaneCircle(s, in.centreX, in.centreY, e.x, e.y, moonRadiusArcsec(e), colour);
  hatchShadowPlane(s, in.centreX, in.centreY, e.x, e.y, colour);
}

}  // namespace

ShadowPlanePixel shadowPlanePixel(int centreX, int centreY, double xArcsec, double yArcsec) {
  return {truncToInt(centreX - kShadowPlanePixelsPerArcsec * xArcsec),
          truncToInt(centreY - kShadowPlanePixelsPerArcsec * yArcsec)};
}

int shadowPlaneRadiusPixels(double radiusArcsec) {
  return truncToInt(kShadowPlanePixelsPerArcsec * radiusArcsec);
}

void drawShadowPlaneCircle(DrawingSurface& surface, int centreX, int centreY, double xArcsec,
                           double yArcsec, double radiusArcsec, PaletteIndex colour) {
  const ShadowPlanePixel p = shadowPlanePixel(centreX, centreY, xArcsec, yArcsec);
  drawCircle(surface, p.x, p.y, shadowPlaneRadiusPixels(radiusArcsec), colour);
}

void hatchShadowPlane(DrawingSurface& surface, int centreX, int centreY, double xArcsec,
                      double yArcsec, PaletteIndex colour) {
  const ShadowPlanePixel p = shadowPlanePixel(centreX, centreY, xArcsec, yArcsec);
  const Brush previous = surface.brush();
  surface.setBackgroundMode(BackgroundMode::Transparent);
  surface.setBrush({BrushStyle::DiagonalCross, paletteColour(colour)});
  surface.floodFill(p.x, p.y, paletteColour(colour));
  surface.setBrush(previous);
}

void drawSimulationTime(DrawingSurface& surface, double tHours, double epochHour,
                        double deltaTSeconds) {
  fillBox(surface, 400, 20, 450, 40, PaletteIndex::Black);
  if (!(tHours > -24 && tHours < 24)) return;
  const HoursMinutesSeconds ut = splitHours(tHours - deltaTSeconds / 3600 + epochHour);
  char text[32];
  std::snprintf(text, sizeof text, " %2.0f:%2.0f ", ut.hours, ut.minutes);
  drawText(surface, 400, 20, text);
}

std::vector<SimulationStep> simulationSteps(const SimulationInputs& in) {
  const bool paced = !in.horizonCrossHours;
  const int type = eclipseTypeCode(in.eclipse.record.eclipseType);
  const bool umbral = type == 1 || type == 2;
  const bool total = type == 1;
  const ContactTimes& c = in.eclipse.contacts;
  std::vector<SimulationStep> steps;
  steps.push_back({SimulationStepKind::Shadow, in.eclipse.greatestHours, PaletteIndex::Black, true});
  // A contact the type lacks is absent and gets no step.
  const auto moon = [&](bool wanted, std::optional<double> t, PaletteIndex colour) {
    if (wanted && t) steps.push_back({SimulationStepKind::Moon, *t, colour, paced});
  };
  const PaletteIndex penumbral = PaletteIndex::Yellow;
  const PaletteIndex umbralContact = PaletteIndex::PaleGreen;
  const PaletteIndex internal = PaletteIndex::LightGrey;
  moon(true, c.p1, penumbral);
  moon(umbral, c.u1, umbralContact);
  moon(total, c.u2, internal);
  moon(true, in.eclipse.greatestHours, PaletteIndex::DarkGrey);
  moon(total, c.u3, internal);
  moon(umbral, c.u4, umbralContact);
  moon(true, c.p4, penumbral);
  steps.push_back({SimulationStepKind::ClearLabel, kNoLabelHours, PaletteIndex::Black, false});
  if (in.horizonCrossHours)
    steps.push_back({SimulationStepKind::Moon, *in.horizonCrossHours, kHorizonColour, false});
  return steps;
}

void drawSimulationStep(DrawingSurface& surface, const SimulationInputs& in,
                        const SimulationStep& step) {
  switch (step.kind) {
    case SimulationStepKind::Shadow:
      surface.setTextColour(paletteColour(PaletteIndex::White));
      drawShadow(surface, in);
      break;
    case SimulationStepKind::Moon:
      drawMoon(surface, in, step.tHours, step.colour);
      break;
    case SimulationStepKind::ClearLabel:
      drawSimulationTime(surface, kNoLabelHours, in.eclipse.record.epochHour, in.eclipse.deltaTSeconds);
      break;
  }
}

void drawSimulation(DrawingSurface& surface, const SimulationInputs& in) {
  for (const SimulationStep& step : simulationSteps(in)) drawSimulationStep(surface, in, step);
}

}  // namespace tarvo
