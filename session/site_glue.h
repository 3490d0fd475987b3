// The observing site and the city list as the session holds them: the site
// fields of SessionState, and the paint's one reading of "location.new" with
// the texts it shows when the file is missing.
#pragma once

#include <array>
#include <span>
#include <string>

#include "circumstances/geometry.h"
#include "circumstances/sites.h"
#include "session/session_state.h"
#include "session/screen_text.h"

namespace tarvo {

class DrawingSurface;

// The observing site of the session (siteLongitude, siteLatitude,
// siteHeight), taken before every site evaluation.
SiteValues prepareSite(const SessionState& state);

inline constexpr std::array<ScreenText, 2> kSiteFileMissingTexts{{
    {50, 16, "NO LOCATION.ENG FILE!!"},
    {50, 32, "PLEASE CHECK DIRECTORY!!"},
}};

struct SiteLoadResult {
  int status = 1;  // 1 the file was read (the list may be empty), −1 it could not be read or was refused
  // The texts to show for a missing file; empty otherwise.
  std::span<const ScreenText> errorTexts;
  // The reading's one message (lines skipped, or the refusal's reason; for a
  // file that cannot be read, "cannot read the city list PATH: REASON");
  // empty when every line was taken.
  std::string notice;
  bool ok() const { return status == 1; }
};

// Reads the city list at path into `list` (emptied first). When at least one
// city was read, the first becomes the observing site: siteLongitude and
// siteLatitude of `state` take its coordinates; siteHeight is left alone.
// A file that cannot be opened, or is refused as not text, leaves the list
// empty and the state as it was.
SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path = kSiteFileName);

// Draws a failed load's texts in white in the surface's current font and
// background mode (opaque white on black after the paint's clear).
void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result);

}  // namespace tarvo
