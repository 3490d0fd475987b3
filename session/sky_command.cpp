#include "session/sky_command.h"

#include "circumstances/elements_sky.h"
#include "circumstances/geometry.h"
#include "session/site_glue.h"
#include "core/drawing_surface.h"
#include "sky/sky_chart.h"
#include "timebase/time_scales.h"

namespace tarvo {

SkyChartRequest prepareSkyChart(SessionState& state) {
  state.deltaTHours = state.deltaT / 3600;
  // Greatest eclipse at the site, the iteration started from the reference
  // hour as a number of hours; its values feed the panel's site result.
  const SiteAtGreatest atSite =
      greatestAtSite(state.current, prepareSite(state), state.epochHour, state.deltaT);
  if (atSite.converged) {
    state.siteMoonMagnitude = atSite.umbralMagnitude;
    state.siteMoonAltitude = atSite.altitudeDeg;
  }

  SkyChartRequest request{};
  request.utHours = state.greatestOffsetHours + state.epochHour - state.deltaTHours;
  request.longitudeDeg = state.siteLongitude;
  request.latitudeDeg = state.siteLatitude;
  request.jd = state.greatestJd;
  const ElementsSky sky = skyFromElements(state.current, state.greatestOffsetHours, state.deltaT);
  request.anchors = {sky.moonRaDeg, sky.moonDecDeg, sky.sunRaDeg, sky.sunDecDeg,
                     sky.greenwichSiderealDeg};
  // The local standard date of greatest eclipse, as the local report finds it.
  const CalendarDate local = jdToCalendar(state.dayStartJd + request.utHours / 24,
                                          ZoneMode::StandardZone, state.siteLongitude);
  request.packedDate = packDate(local.year, local.month, local.day);
  return request;
}

std::vector<SkyPlace> skyChartPlacesFor(const SkyChartRequest& request) {
  return skyChartPlaces(request.jd, request.anchors, request.latitudeDeg, request.longitudeDeg);
}

void drawSkyChartCommand(SessionState& state, DrawingSurface& surface) {
  const SkyChartRequest request = prepareSkyChart(state);
  // A view's device context as the command takes it: default pen and brush,
  // opaque text; the clear leaves black as the background colour.
  surface.setPen(Pen{});
  surface.setBrush(Brush{});
  surface.setBackgroundMode(BackgroundMode::Opaque);
  surface.clear(colorTable[0]);
  drawSkyChart(surface, request.packedDate, request.utHours, request.longitudeDeg,
               request.latitudeDeg, request.jd, request.anchors);
}

}  // namespace tarvo
