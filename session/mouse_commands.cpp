#include "session/mouse_commands.h"

#include "map/projection.h"
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
  state.displaySiteIndex = kTypedSiteIndex;
  state.siteLongitude = readoutLongitude(pick.longitudeDeg);
  state.siteLatitude = pick.latitudeDeg;
  state.siteHeight = 0;
  state.displayKind = kDisplayLocalReport;
  return true;
}

}  // namespace tarvo
