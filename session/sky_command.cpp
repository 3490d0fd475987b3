#include "session/sky_command.h"

#include "circumstances/elements_sky.h"
#include "circumstances/geometry.h"
#include "surface/drawing_surface.h"
#include "session/site_glue.h"
#include "sky/sky_chart.h"
#include "sky/sky_places.h"
#include "base/text_format.h"
#include "timebase/time_scales.h"

namespace tarvo {

SkyChartRequest skyChartRequest(const EclipseCircumstances& eclipse, double longitudeDeg,
                                double latitudeDeg) {
  SkyChartRequest request{};
  request.utHours = eclipse.utHours(eclipse.greatestHours);
  request.longitudeDeg = longitudeDeg;
  request.latitudeDeg = latitudeDeg;
  request.jd = eclipse.greatestJd;
  const ElementsSky sky = skyFromElements(eclipse.record, eclipse.greatestHours, eclipse.deltaTSeconds);
  request.anchors = {sky.moonRaDeg, sky.moonDecDeg, sky.sunRaDeg, sky.sunDecDeg,
                     sky.greenwichSiderealDeg};
  // The local standard date of greatest eclipse, as the local report finds it.
  const CalendarDate local =
      jdToCalendar(eclipse.dayStartJd + request.utHours / 24, ZoneMode::StandardZone, longitudeDeg);
  request.packedDate = packDate(local.year, local.month, local.day);
  return request;
}

SkyChartRequest prepareSkyChart(SessionState& state) {
  const EclipseCircumstances& eclipse = state.circumstances;
  // Greatest eclipse at the site, the iteration started from the reference
  // hour as a number of hours; its values feed the panel's site result.
  const SiteAtGreatest atSite = greatestAtSite(eclipse.record, prepareSite(state),
                                               eclipse.record.epochHour, eclipse.deltaTSeconds);
  if (atSite.converged) {
    state.siteMoonMagnitude = atSite.umbralMagnitude;
    state.siteMoonAltitude = atSite.altitudeDeg;
  }
  return skyChartRequest(eclipse, state.site.where.longitudeDeg, state.site.where.latitudeDeg);
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
  surface.clear(paletteColour(PaletteIndex::Black));
  drawSkyChart(surface, request.packedDate, request.utHours, request.longitudeDeg,
               request.latitudeDeg, request.jd, request.anchors);
}

std::string skyChartMoonNote(const SkyChartRequest& request) {
  // The chart's first place is the Moon.
  const std::vector<SkyPlace> places =
      skyChartPlaces(request.jd, request.latitudeDeg, request.longitudeDeg);
  if (places.empty() || places[0].drawn) return {};
  return formatString("The Moon is not drawn: its altitude is %.1f\u00b0 (below 10\u00b0).",
                      places[0].altitudeDeg);
}

}  // namespace tarvo
