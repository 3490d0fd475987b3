#include "session/map_display.h"

#include <cmath>

#include "circumstances/geometry.h"
#include "core/drawing_surface.h"
#include "map/coastline_files.h"
#include "session/greatest_eclipse.h"

namespace tarvo {

namespace {

constexpr int kGridOn = 0;  // gridMode that draws the grid (4 does not)

SplitAngle splitOf(int negative, double degrees, double minutes) {
  SplitAngle a;
  a.negative = negative != 0;
  a.degrees = degrees;
  a.minutes = minutes;
  return a;
}

// The eclipse type as a whole number 0..9; anything else counts as 0.
int eclipseTypeIndex(const SessionState& state) {
  const double type = std::trunc(state.eclipseType);
  return type >= 0 && type <= 9 ? static_cast<int>(type) : 0;
}

}  // namespace

MapFrame mapFrameOf(const SessionState& state) {
  MapFrame f;
  f.left = state.mapLeft;
  f.right = state.mapRight;
  f.top = state.mapTop;
  f.bottom = state.mapBottom;
  f.centreX = state.mapCentreX;
  f.centreY = state.mapCentreY;
  f.scale = state.mapDrawScale;
  f.longitudeOffsetDeg = state.mapLongitudeOffset;
  f.centreLongitudeNegative = state.greatestLongitudeNegative != 0;
  return f;
}

InfoPanelValues infoPanelValuesOf(const SessionState& state) {
  InfoPanelValues v;
  v.year = state.year;
  v.month = state.month;
  v.eclipseDay = state.eclipseDay;
  v.eclipseType = eclipseTypeIndex(state);
  v.greatestJd = state.greatestJd;
  v.saros = state.saros;
  v.gamma = state.gamma;
  v.penumbralMagnitude = state.penumbralMagnitude;
  v.umbralMagnitude = state.umbralMagnitude;
  v.epochHour = state.epochHour;
  v.deltaTSeconds = state.deltaT;
  v.converged = currentEclipseConverged(state);
  v.greatestOffsetHours = state.greatestOffsetHours;
  v.greatestLongitude = splitOf(state.greatestLongitudeNegative, state.greatestLongitudeDegrees,
                                state.greatestLongitudeMinutes);
  v.greatestLatitude = splitOf(state.greatestLatitudeNegative, state.greatestLatitudeDegrees,
                               state.greatestLatitudeMinutes);
  v.p1 = state.contacts.p1;
  v.p4 = state.contacts.p4;
  v.u1 = state.contacts.u1;
  v.u2 = state.contacts.u2;
  v.u3 = state.contacts.u3;
  v.u4 = state.contacts.u4;
  v.searchType = state.searchType;
  v.magnitudeCriterion = state.magnitudeCriterion;
  v.siteMoonMagnitude = state.siteMoonMagnitude;
  v.siteMoonAltitude = state.siteMoonAltitude;
  v.mapRight = state.mapRight;
  v.mapBottom = state.mapBottom;
  return v;
}

VisibilityInputs visibilityInputsOf(const SessionState& state) {
  return visibilityInputsAt(state, state.greatestDeltaTSeconds);
}

VisibilityInputs visibilityInputsAt(const SessionState& state, double deltaTSeconds) {
  VisibilityInputs in;
  in.eclipseType = eclipseTypeIndex(state);
  const auto at = [&](double t) { return subLunarPoint(state.current, t, deltaTSeconds); };
  in.greatest = deltaTSeconds == state.greatestDeltaTSeconds ? state.greatestSubLunar
                                                             : at(state.greatestOffsetHours);
  const ContactTimes& c = state.contacts;
  in.p1 = at(c.p1);
  in.p4 = at(c.p4);
  // A contact the type lacks is never drawn; its point stays at greatest eclipse.
  in.u1 = c.u1 ? at(*c.u1) : in.greatest;
  in.u4 = c.u4 ? at(*c.u4) : in.greatest;
  in.u2 = c.u2 ? at(*c.u2) : in.greatest;
  in.u3 = c.u3 ? at(*c.u3) : in.greatest;
  return in;
}

OutlineDrawer outlineDrawerOf(const SessionState& state) {
  if (state.outlineChoice == kOutlineCoastlineFiles) {
    // The five coastline files from the working directory.
    return [](DrawingSurface& surface, const MapFrame& frame, MapPen& pen) {
      drawCoastlineFiles(surface, frame, pen, ".");
    };
  }
  return drawBuiltInOutline;
}

void drawMapDisplay(SessionState& state, DrawingSurface& surface) {
  // Greatest eclipse, sub-lunar point, contacts, dayStartJd.
  updateGreatestEclipse(state);

  const SplitAngle latitude = splitGreatestLatitude(state.greatestLatitude);
  state.greatestLatitudeNegative = latitude.negative ? 1 : 0;
  state.greatestLatitude = std::fabs(state.greatestLatitude);
  state.greatestLatitudeDegrees = latitude.degrees;
  state.greatestLatitudeMinutes = latitude.minutes;
  const SplitAngle longitude = splitGreatestLongitude(state.greatestLongitude);
  state.greatestLongitudeNegative = longitude.negative ? 1 : 0;
  state.greatestLongitude = std::fabs(std::fmod(state.greatestLongitude, 360.0));
  state.greatestLongitudeDegrees = longitude.degrees;
  state.greatestLongitudeMinutes = longitude.minutes;

  state.mapDrawScale = state.mapScale;
  MapFrame frame = mapFrameOf(state);
  centreMapOn(frame, longitude);
  state.mapLongitudeOffset = frame.longitudeOffsetDeg;
  state.mapLongitudeOffsetRadians = frame.longitudeOffsetRad();

  drawInfoPanel(surface, infoPanelValuesOf(state));
  MapPen pen;
  drawWorldMap(surface, frame, pen, state.gridMode == kGridOn,
               outlineDrawerOf(state));
  if (currentEclipseConverged(state)) {
    drawVisibilityZones(surface, frame, pen, visibilityInputsOf(state));
    if (state.deltaTBandsShown) {
      // The contacts are times of TT: only the Earth's rotation, and so the
      // sub-lunar points, move with ΔT.
      for (const double sign : {-1.0, 1.0}) {
        const double deltaT = state.greatestDeltaTSeconds + sign * state.deltaTSigma;
        drawBoundaryBands(surface, frame, visibilityInputsAt(state, deltaT));
      }
    }
  }
  state.penDown = pen.penDown ? 1 : 0;
}

}  // namespace tarvo
