#include "session/map_display.h"

#include "surface/drawing_surface.h"
#include "map/coastline_files.h"
#include "map/visibility.h"
#include "session/current_eclipse.h"

namespace tarvo {

MapFrame mapFrameOf(const SessionState& state) {
  MapFrame f = state.mapFrame;
  f.centreLongitudeNegative =
      splitGreatestLongitude(state.circumstances.subLunar.longitudeDeg).negative;
  return f;
}

InfoPanelValues infoPanelValuesOf(const SessionState& state, const EclipseCircumstances& eclipse) {
  InfoPanelValues v = infoPanelValues(eclipse);
  v.searchType = state.searchType;
  v.magnitudeCriterion = state.magnitudeCriterion;
  v.siteMoonMagnitude = state.siteMoonMagnitude;
  v.siteMoonAltitude = state.siteMoonAltitude;
  v.mapRight = state.mapFrame.right;
  v.mapBottom = state.mapFrame.bottom;
  return v;
}

OutlineDrawer outlineDrawerOf(const SessionState& state, std::string* problem) {
  if (state.outlineChoice == kOutlineCoastlineFiles) {
    // The five coastline files from the working directory.
    return [problem](DrawingSurface& surface, const MapFrame& frame, MapPen& pen) {
      const CoastlineDrawing drawn = drawCoastlineFiles(surface, frame, pen, ".");
      if (problem != nullptr) *problem = drawn.problem;
    };
  }
  return drawBuiltInOutline;
}

std::string drawMapDisplay(SessionState& state, DrawingSurface& surface) {
  std::string outlineProblem;
  const EclipseCircumstances& eclipse = updateCurrentEclipse(state);

  centreMapOn(state.mapFrame, splitGreatestLongitude(eclipse.subLunar.longitudeDeg));
  const MapFrame& frame = state.mapFrame;

  drawInfoPanel(surface, infoPanelValuesOf(state, eclipse));
  MapPen pen;
  drawWorldMap(surface, frame, pen, state.gridMode == kGridShown, outlineDrawerOf(state, &outlineProblem));
  if (eclipse.converged()) {
    drawVisibilityZones(surface, frame, pen, visibilityInputsOf(eclipse));
    if (state.deltaTBandsShown) {
      for (const double sign : {-1.0, 1.0}) {
        const EclipseCircumstances other = eclipseCircumstances(
            eclipse.record, eclipse.deltaTSeconds + sign * state.deltaTSigma, eclipse.greatestHours);
        if (other.converged()) drawBoundaryBands(surface, frame, visibilityInputsOf(other));
      }
      drawBandsLegend(surface, frame);
    }
    for (const double deltaT : state.recordZonesDeltaT) {
      const EclipseCircumstances atRecord = eclipseCircumstances(eclipse.record, deltaT, eclipse.greatestHours);
      if (atRecord.converged()) drawBoundaryBands(surface, frame, visibilityInputsOf(atRecord));
    }
  }
  return outlineProblem;
}

}  // namespace tarvo
