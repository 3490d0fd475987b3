// The world map display of the session's current eclipse: the thin pipeline
// that brings the current eclipse up to date and hands its value to the
// map's drawers.
#pragma once

#include <string>

#include "circumstances/eclipse_circumstances.h"
#include "session/session_state.h"
#include "map/info_panel.h"
#include "map/map_frame.h"
#include "map/world_map.h"

namespace tarvo {

class DrawingSurface;

// The map frame of the last paint (state.mapFrame), the central meridian's
// sign from the kept circumstances; the mouse commands read pixels through it.
MapFrame mapFrameOf(const SessionState& state);

// The information panel's values: the eclipse, and the site search result
// and the map's corner from the state.
InfoPanelValues infoPanelValuesOf(const SessionState& state, const EclipseCircumstances& eclipse);

// The outline the map draws for outlineChoice: the built-in outline, or the
// five coastline files of the working directory ("CIA MAP"); a coastline
// file that cannot be used is named with the reason in *problem.
OutlineDrawer outlineDrawerOf(const SessionState& state, std::string* problem = nullptr);

// The map pipeline, in its fixed order: the current eclipse's circumstances
// (updateCurrentEclipse); the map frame centred on the sub-lunar meridian;
// then
// the information panel, the world map (grid when gridMode is kGridShown, the
// outline) and the visibility zones; with deltaTBandsShown, the zone
// boundaries of the same eclipse at ΔT − σ and ΔT + σ, dotted. An entry whose
// greatest eclipse or contacts do not converge gets the panel and the map
// without zones. Returns the coastline file that could not be used and why
// ("as_cil.cbd: No such file or directory"), empty when there is none.
std::string drawMapDisplay(SessionState& state, DrawingSurface& surface);

}  // namespace tarvo
