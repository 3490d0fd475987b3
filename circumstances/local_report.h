// The local circumstances report: the current eclipse as seen from the
// observing site, as text lines at fixed rows of the view.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "circumstances/sites.h"
#include "core/session_state.h"

namespace tarvo {

class DrawingSurface;

// One line of the report: the pixel row of its text (x is always 10) and the
// text, trailing blanks included.
struct ReportLine {
  int y;
  std::string text;
};

// The city named on the location line (displaySiteIndex 1..count).
struct ReportCity {
  std::string_view name;
  double longitudeDeg;
  double latitudeDeg;
  double heightM;
};

// One secant step towards altitude 0 through (t, a) and (t2, a2), hours and
// degrees. When the step cannot be taken (equal altitudes, or a result that
// is not finite) t is returned unchanged: the best estimate so far.
double horizonSecantStep(double t, double a, double t2, double a2);

// Brings greatest eclipse, the contacts and dayStartJd of the current eclipse
// up to date for the report (deltaT in the state, seconds).
void prepareLocalReport(SessionState& state);

// The report's lines in drawing order. city is the list entry chosen by
// displaySiteIndex, or null (typed coordinates, no list, or no valid index).
// Sets horizonCrossHours (1000, or the moonset/moonrise time in hours from
// epochHour) and localEclipseDate. An eclipse whose greatest eclipse or
// contacts did not converge gets only its heading: the location line and
// the three column heads.
std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city);

// The same with the city taken from the list: displaySiteIndex 1..count names
// a city; 99 means typed coordinates; anything else prints no location line.
std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites);

// Draws the report's lines at x = 10 in white, in the surface's current font
// and background mode (the paint selects the text font first).
void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites);

}  // namespace tarvo
