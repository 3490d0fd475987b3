// The observer's answer in words for the session's eclipse and site: the
// sentences of `tarvo next`, and their drawing under the local report and
// at the foot of the map after Next Visible Eclipse.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "circumstances/sites.h"
#include "export/eclipse_export.h"
#include "session/session_state.h"
#include "session/site_choice.h"
#include "timebase/civil_time.h"

namespace tarvo {

class DrawingSurface;

// Pixels from one line of the words to the next: the text font's 12-pixel cells, one apart.
inline constexpr int kWordsLinePitchPx = 13;

// How the words name the site: the city's name (blanks trimmed), or the
// typed coordinates "Lon 139.74 Lat 35.65".
std::string sitePlaceName(const SiteChoice& site, const SiteList& cities);

// The words for an eclipse as exported with its visibility at the site, on
// the site's clock; empty when the eclipse has no visibility or did not
// converge.
std::string eclipseAnswerWords(const ExportEclipse& eclipse, const std::string& place, const SiteClock& clock);

// The words for the eclipse the session shows (state.current, at ΔT of the
// session's model and adjustment) at its site on its clock (sessionSiteClock
// with `cities`, the session's list or the command line's).
std::string shownEclipseWords(const SessionState& state, const SiteList& cities, const ZoneDatabase& zones);

// Draws the words for the eclipse shown under the local report's note line,
// over the surface's width; returns them (UTF-8).
std::string drawWordsUnderLocalReport(DrawingSurface& surface, const SessionState& state, const SiteList& cities,
                                      const ZoneDatabase& zones);

// The words as the surface's Latin-1 text, broken at blanks into lines of at
// most `columns` characters ("–" and "−" become "-").
std::vector<std::string> wrappedWordLines(std::string_view utf8Words, int columns);

// Draws the words in pale cyan in the text font's cells, from the row `top`
// down, within [left, right) pixels; returns the row under the last line.
int drawAnswerWords(DrawingSurface& surface, int left, int top, int right, std::string_view utf8Words);

}  // namespace tarvo
