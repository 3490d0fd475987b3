#include "session/site_glue.h"

#include <filesystem>
#include <system_error>

#include <utility>

#include "surface/drawing_surface.h"

namespace tarvo {

SiteValues prepareSite(const SessionState& state) {
  return state.site.where;
}

SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path) {
  list.sites.clear();
  std::string whyNot;
  std::optional<SiteReading> read = readSitesFile(path, &whyNot);
  if (!read) {
    // The fixed texts name a file of long ago; this line names the real one.
    std::error_code ec;
    const std::filesystem::path where = std::filesystem::absolute(path, ec).lexically_normal();
    return {-1, kSiteFileMissingTexts, "cannot read the city list " + (ec ? path : where.string()) + ": " + whyNot};
  }
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
