#include "session/site_glue.h"

#include <utility>

#include "surface/drawing_surface.h"

namespace tarvo {

SiteValues prepareSite(const SessionState& state) {
  return {state.siteLongitude, state.siteLatitude, state.siteHeight};
}

SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path) {
  list.sites.clear();
  std::optional<SiteReading> read = readSitesFile(path);
  if (!read) return {-1, kSiteFileMissingTexts, {}};
  std::string notice = siteReadingNotice(*read);
  if (read->notText) return {-1, {}, std::move(notice)};
  list = std::move(read->list);
  if (!list.sites.empty()) {
    state.siteLongitude = list.sites.front().longitude;
    state.siteLatitude = list.sites.front().latitude;
  }
  return {1, {}, std::move(notice)};
}

void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ScreenText& t : result.errorTexts) surface.textOut(t.x, t.y, t.text);
}

}  // namespace tarvo
