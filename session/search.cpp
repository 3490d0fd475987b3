#include "session/search.h"

#include <algorithm>
#include <utility>

#include "catalogue/canon_walk.h"
#include "catalogue/eclipse_list_format.h"
#include "catalogue/saros_table.h"
#include "session/landing.h"
#include "session/current_eclipse.h"
#include "session/site_glue.h"

namespace tarvo {

double previousWindowYears(const SessionState& s) {
  switch (s.searchType) {
    case kSearchByType: return s.typeLookBackYears;
    case kSearchBySite: return s.siteLookBackYears;
    case kSearchBySaros: return 20;
    default: return 2;
  }
}

void drawSearchNoFileTexts(DrawingSurface& surface) {
  const Rgb previous = surface.textColour();
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ScreenText& t : kSearchNoFileTexts) drawText(surface, t.x, t.y, t.text);
  surface.setTextColour(previous);
}

void drawSearchNoFileTexts(DrawingSurface& surface, const CanonReader& reader) {
  drawSearchNoFileTexts(surface);
  const Rgb previous = surface.textColour();
  surface.setTextColour(paletteColour(PaletteIndex::White));
  drawText(surface, kSearchNoFileTexts[0].x, kSearchNoFileLineY, missingCatalogueLine(reader));
  surface.setTextColour(previous);
}

PreviousSearch runPreviousSearch(SessionState& s, CanonReader& reader) {
  // The cursor on the eclipse shown names it exactly (the second of two in
  // a month by the month's second half), so that the search stops there.
  double month = s.month;
  if (s.year == s.current.year && s.month == s.current.month) month = landingMonthOf(reader, s.current, s.deltaTChoice);
  const PreviousSearch found =
      searchPrevious(reader, searchCriteriaOf(s, s.current.saros), previousWindowYears(s), s.year, month);
  if (found.lastRead) takeCurrentEclipse(s, *found.lastRead);
  s.year = found.year;
  s.month = found.month;
  s.pendingAction = kLandAtCursor;
  return found;
}

PreviousSearch previousEclipseCommand(SessionState& s, CanonReader& reader, DrawingSurface& surface) {
  const PreviousSearch found = runPreviousSearch(s, reader);
  if (found.end == SearchEnd::NextFileMissing) drawSearchNoFileTexts(surface, reader);
  return found;
}

ListSearch runListSearch(SessionState& s, CanonReader& reader, double startYear, double periodYears) {
  s.eclipseListCount = 0;
  const CanonReader::Position shown = reader.position();
  ListSearch found = listSearch(reader, searchCriteriaOf(s, s.current.saros), startYear, periodYears);
  reader.restore(shown);
  const std::size_t n = std::min(found.entries.size(), s.eclipseList.size());
  std::copy_n(found.entries.begin(), n, s.eclipseList.begin());
  s.eclipseListCount = static_cast<int>(n);
  return found;
}

ListSearchResult listSearchCommand(SessionState& s, CanonReader& reader, double startYear,
                                   double periodYears) {
  ListSearch found = runListSearch(s, reader, startYear, periodYears);
  ListSearchResult result;
  result.end = found.end;
  found.entries.resize(static_cast<std::size_t>(s.eclipseListCount));
  result.entries = std::move(found.entries);
  if (found.end == SearchEnd::StartFileMissing || found.end == SearchEnd::NextFileMissing) {
    result.errorTexts.assign(kSearchNoFileTexts.begin(), kSearchNoFileTexts.end());
  }
  return result;
}

std::vector<std::string> eclipseListLines(const SessionState& s, bool afterSearch) {
  return eclipseListLines(s, afterSearch ? EclipseListLayout::AfterSearch : EclipseListLayout::AtOpening);
}

std::vector<std::string> eclipseListLines(const SessionState& s, EclipseListLayout layout) {
  std::vector<std::string> lines{eclipseListHeader(layout)};
  const int n = std::clamp(s.eclipseListCount, 0, static_cast<int>(s.eclipseList.size()));
  for (int i = 0; i < n; ++i) lines.push_back(eclipseListLine(s.eclipseList[static_cast<std::size_t>(i)], layout));
  return lines;
}

void applySarosRestart(SessionState& s) {
  if (const auto year = sarosRestartYear(s.sarosCriterion, s.year)) s.year = *year;
}

}  // namespace tarvo
