#include "session/site_glue.h"

#include <utility>

#include "surface/drawing_surface.h"

namespace tarvo {

SiteValues prepareSite(const SessionState& state) {
  return state.site.where;
}

SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path) {
  list.sites.clear();
  std::optional<SiteReading> read = readSitesFile(path);
  if (!read) return {-1, kSiteFileMissingTexts, {}};
  std::string notice = siteReadingNotice(*read);
  if (read->notText) return {-1, {}, std::move(notice)};
  list = std::move(read->list);
  if (const std::optional<SiteChoice> first = cityChoice(list, 1)) state.site = *first;
  return {1, {}, std::move(notice)};
}

SiteLoadResult readSessionCityList(SessionState& state, const std::string& path) {
  SiteLoadResult loaded = loadSites(state, state.sites, path);
  state.cityListTidings = {!loaded.errorTexts.empty(), loaded.notice, false};
  return loaded;
}

std::string tellCityListTidings(SessionState& state, DrawingSurface& surface) {
  CityListTidings& tidings = state.cityListTidings;
  if (tidings.told) return {};
  tidings.told = true;
  if (tidings.missing) {
    surface.setTextColour(paletteColour(PaletteIndex::White));
    for (const ScreenText& t : kSiteFileMissingTexts) surface.textOut(t.x, t.y, t.text);
  }
  return tidings.notice;
}

void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ScreenText& t : result.errorTexts) surface.textOut(t.x, t.y, t.text);
}

}  // namespace tarvo
