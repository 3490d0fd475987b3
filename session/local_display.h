// The local circumstances report of the session's current eclipse at the
// observing site: its preparation, its lines and its drawing.
#pragma once

#include <vector>

#include "circumstances/local_report.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

namespace tarvo {

class DrawingSurface;

// Brings the current eclipse's circumstances up to date for the report
// (deltaT in the state, seconds).
void prepareLocalReport(SessionState& state);

// The report's lines in drawing order, for the kept circumstances at the
// observing site (state.site); sets horizonCrossHours and localEclipseDate.
// city is the city chosen, or null (typed coordinates, no list, or a number
// past the list).
std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city);

// The same with the city of the site choice taken from the list; typed
// coordinates, or a number past the list, print no city's name.
std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites);

// Draws the report's lines at x = 10 in white, in the surface's current font
// and background mode (the paint selects the text font first).
void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites);

}  // namespace tarvo
