#include "session/mouse_commands.h"

#include "circumstances/zone_words.h"
#include "base/text_format.h"
#include "map/projection.h"
#include "map/visibility.h"
#include "session/map_display.h"

namespace tarvo {

// The pick converts through the offset alone, so the paint's own frame serves.
MapFrame mapFrameOfLastPaint(const SessionState& state) { return mapFrameOf(state); }

bool drawMapReadout(const SessionState& state, DrawingSurface& surface, int px, int py) {
  if (state.displayKind != kDisplayWorldMap) return false;
  return drawMouseReadout(surface, mapFrameOfLastPaint(state), px, py);
}

bool pickSiteOnMap(SessionState& state, int px, int py) {
  const MapPick pick = mapPointFromPixel(mapFrameOfLastPaint(state), px, py);
  if (!pick.ok) return false;
  state.site = typedChoice(readoutLongitude(pick.longitudeDeg), pick.latitudeDeg, 0);
  state.displayKind = kDisplayLocalReport;
  return true;
}

std::string mapStatusLine(const SessionState& state, int px, int py) {
  if (state.displayKind != kDisplayWorldMap) return {};
  const MapPick pick = mapPointFromPixel(mapFrameOfLastPaint(state), px, py);
  if (!pick.ok) return {};
  const double longitudeDeg = readoutLongitude(pick.longitudeDeg);
  std::string line = formatString("Lon %.2f Lat %.2f", longitudeDeg, pick.latitudeDeg);
  const EclipseCircumstances& eclipse = state.circumstances;
  if (!eclipse.converged()) return line;
  // The points the map's zones are drawn from.
  const VisibilityInputs in = visibilityInputsOf(eclipse);
  const ContactSubLunarPoints contacts{in.p1, in.u1, in.u2, in.u3, in.u4, in.p4};
  return line + " \u2014 " + zoneInWords(in.eclipseType, contacts, longitudeDeg, pick.latitudeDeg);
}

}  // namespace tarvo
