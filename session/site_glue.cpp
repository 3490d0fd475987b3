#include "session/site_glue.h"

#include <utility>

#include "core/drawing_surface.h"

namespace tarvo {

SiteValues prepareSite(const SessionState& state) {
  return {state.siteLongitude, state.siteLatitude, state.siteHeight};
}

SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path) {
  list.sites.clear();
  std::optional<SiteList> read = readSitesFile(path);
  if (!read) return {-1, kSiteFileMissingTexts};
  list = std::move(*read);
  if (!list.sites.empty()) {
    state.siteLongitude = list.sites.front().longitude;
    state.siteLatitude = list.sites.front().latitude;
  }
  return {};
}

void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ScreenText& t : result.errorTexts) surface.textOut(t.x, t.y, t.text);
}

}  // namespace tarvo
