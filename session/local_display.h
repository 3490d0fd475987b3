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

// Which altitude the report's Alt. column gives: the geometric geocentric one
// (no refraction, no parallax: the report as it always was), or the one an
// observer at the site sees (topocentric, refracted), said on the note line.
enum class ReportAltitudes { Geocentric, AsSeen };

// The report's lines in drawing order, for the kept circumstances at the
// observing site (typed site when displaySiteIndex is kTypedSiteIndex); sets
// horizonCrossHours and localEclipseDate. city is the list entry chosen by
// displaySiteIndex, or null (typed coordinates, no list, or no valid index).
std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city,
                                         ReportAltitudes altitudes = ReportAltitudes::Geocentric);

// The same with the city taken from the list: displaySiteIndex 1..count names
// a city; kTypedSiteIndex means typed coordinates; anything else prints no
// location line.
std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites,
                                         ReportAltitudes altitudes = ReportAltitudes::Geocentric);

// Draws the report's lines at x = 10 in white, in the surface's current font
// and background mode (the paint selects the text font first).
void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites,
                     ReportAltitudes altitudes = ReportAltitudes::Geocentric);

}  // namespace tarvo
