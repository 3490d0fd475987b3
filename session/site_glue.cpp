#include "session/site_glue.h"

#include <filesystem>
#include <system_error>

#include <utility>

#include "surface/drawing_surface.h"

namespace tarvo {

SiteValues prepareSite(const SessionState& state) {
  return {state.siteLongitude, state.siteLatitude, state.siteHeight};
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
