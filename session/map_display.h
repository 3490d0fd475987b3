// The world map display of the session's current eclipse: the thin pipeline
// that brings the state up to date and hands plain values to the map's
// drawers.
#pragma once

#include "core/session_state.h"
#include "map/info_panel.h"
#include "map/map_frame.h"
#include "map/visibility.h"
#include "map/world_map.h"

namespace tarvo {

class DrawingSurface;

// The map frame of the state's layout (mapLeft … mapCentreY, mapDrawScale,
// mapLongitudeOffset and its sign), as the paint and the map display left it;
// the mouse commands read pixels through it.
MapFrame mapFrameOf(const SessionState& state);

// The information panel's values from the state after the map pipeline.
InfoPanelValues infoPanelValuesOf(const SessionState& state);

// The sub-lunar points at greatest eclipse and at the contacts, for the zones.
VisibilityInputs visibilityInputsOf(const SessionState& state);
// The same for the current eclipse with another ΔT (seconds): the contacts
// stay (times of TT), the sub-lunar points turn with the Earth.
VisibilityInputs visibilityInputsAt(const SessionState& state, double deltaTSeconds);

// The outline the map draws for outlineChoice: the built-in outline (1), or
// the five coastline files of the working directory (2, "CIA MAP").
OutlineDrawer outlineDrawerOf(const SessionState& state);

// The map pipeline, in its fixed order: deltaTHours; greatest eclipse from
// greatestGuessHours (greatestOffsetHours, the sub-lunar point, then
// greatestGuessHours = greatestOffsetHours); the latitude and longitude split
// (greatestLatitude/Longitude left as magnitudes with their signs in the
// *Negative fields); mapDrawScale = mapScale and the map centred on the
// sub-lunar meridian (mapLongitudeOffset, mapLongitudeOffsetRadians); the
// contacts and dayStartJd; then the information panel, the world map (grid
// when gridMode is 0, the outline) and the visibility zones. An entry whose
// greatest eclipse or contacts do not converge gets the panel and the map
// without zones.
void drawMapDisplay(SessionState& state, DrawingSurface& surface);

}  // namespace tarvo
