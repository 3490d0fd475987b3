// The view's two mouse actions on the map, as state changes and drawing:
// the left-click read-out of a point's coordinates and the right double-click
// that picks the observing site. Both use the map layout of the last paint.
#pragma once

#include <string>

#include "session/session_state.h"
#include "map/map_frame.h"

namespace tarvo {

class DrawingSurface;

// The map frame the last paint laid out and drew with (rectangle, centre,
// scale and central meridian as the session state holds them).
MapFrame mapFrameOfLastPaint(const SessionState& state);

// Left button at client pixel (px, py), only while the map is displayed:
// draws "Lon:%7.2f" and "Lat:%7.2f" of the point in white on black near the
// map's top right corner. Returns false (and draws nothing) for a pixel off
// the map or when the local report is displayed. Stores nothing.
bool drawMapReadout(const SessionState& state, DrawingSurface& surface, int px, int py);

// Right double-click at (px, py): a point on the map becomes the observing
// site (typed coordinates, height 0) and the local report is chosen. Returns
// false and changes nothing for a pixel off the map. The caller repaints.
bool pickSiteOnMap(SessionState& state, int px, int py);

// What the status bar says while the mouse is at (px, py) over the map:
// "Lon 139.74 Lat 35.65 — the Moon rises during the partial phase" (UTF-8),
// the zone's words from the contacts' sub-lunar points of the current
// eclipse (left out when its contacts did not converge); empty off the map or
// when the local report is displayed.
std::string mapStatusLine(const SessionState& state, int px, int py);

}  // namespace tarvo
