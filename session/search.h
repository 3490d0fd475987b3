// The searches as the view's commands and the list dialog run them on the
// session: Previous eclipse, the list search, the list's lines, and the
// Search dialog's Saros restart.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_list_format.h"
#include "session/screen_text.h"
#include "surface/drawing_surface.h"
#include "session/session_state.h"
#include "session/catalogue_search.h"
#include "session/search_criteria.h"

namespace tarvo {

// Years the backward search opens before the current eclipse: 2 for all
// eclipses, the look-back of the type and site searches, 20 for a Saros search.
double previousWindowYears(const SessionState& state);

// The texts a search shows when a file after its first cannot be opened,
// white, at their text origins.
inline constexpr std::array<ScreenText, 2> kSearchNoFileTexts{{
    {50, 15, "  No bessel file! "},
    {50, 30, "  Please start at directory which EC****.prn available."},
}};
inline constexpr int kSearchNoFileLineY = 45;  // the missing file's line under them
void drawSearchNoFileTexts(DrawingSurface& surface);
// The same with the reader's missingCatalogueLine under them.
void drawSearchNoFileTexts(DrawingSurface& surface, const CanonReader& reader);

// searchPrevious from the shown eclipse (year, month, its Saros series)
// with the session's criteria. The reader and `current` stay on the last
// entry read; year and month become the eclipse to show and pendingAction 0,
// so the next paint lands on it.
PreviousSearch runPreviousSearch(SessionState& state, CanonReader& reader);

// The Previous eclipse command: runPreviousSearch, drawing the no-file texts
// on the surface when a next file was missing. When it ends NothingEarlier
// the view shows the paint's text for LandingOutcome::NoEarlierEclipse
// instead of repainting.
PreviousSearch previousEclipseCommand(SessionState& state, CanonReader& reader, DrawingSurface& surface);

// listSearch with the session's criteria (a Saros search lists the shown
// eclipse's series); fills eclipseList and its count (emptied first). The
// view stays as it is: the cursor, `current` and the reader's position (from
// which Next steps on) are those before the search.
ListSearch runListSearch(SessionState& state, CanonReader& reader, double startYear, double periodYears);

// What the list's Search found and what it has to say.
struct ListSearchResult {
  std::vector<EclipseListEntry> entries;  // as listed in eclipseList
  SearchEnd end = SearchEnd::Finished;    // where the search stopped
  // The texts to show: the no-file texts when a file could not be opened
  // (the start year's: the list is empty; a later one: the entries before
  // it are listed), none otherwise.
  std::vector<ScreenText> errorTexts;
};

// The list dialog's Search: runListSearch, with the texts it shows.
ListSearchResult listSearchCommand(SessionState& state, CanonReader& reader, double startYear,
                                   double periodYears);

// The list box's lines: the header, then one line per entry of eclipseList,
// in the layout after a search or the one shown when the dialog opens.
std::vector<std::string> eclipseListLines(const SessionState& state, bool afterSearch);
// The same in any layout (the list window's is Aligned).
std::vector<std::string> eclipseListLines(const SessionState& state, EclipseListLayout layout);

// The Search dialog's OK, last step: when the criterion's Saros series began
// more than 70 Saros periods (1262.1 years) before the cursor's year, the
// cursor moves to the year before the series' first year.
void applySarosRestart(SessionState& state);

}  // namespace tarvo
