// The observing site and the city list as the session holds them: the site
// choice of SessionState, and the session's one reading of "location.new"
// with the texts its first paint shows when the file is missing.
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

// The coordinates of the session's site choice, taken before every site
// evaluation.
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
// city was read, the first becomes the observing site of `state`. A file that
// cannot be opened, or is refused as not text, leaves the list empty and the
// state as it was.
SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path = kSiteFileName);

// Makes a new session whole before its first paint: reads the city list at
// path into state.sites (the first city becomes the site) and keeps what the
// reading has to tell for the first paint.
SiteLoadResult readSessionCityList(SessionState& state, const std::string& path = kSiteFileName);

// The first paint of a session tells the city list's tidings: draws the
// missing file's texts and returns the notice (empty when there is nothing
// to say or it was told already).
std::string tellCityListTidings(SessionState& state, DrawingSurface& surface);

// Draws a failed load's texts in white in the surface's current font and
// background mode (opaque white on black after the paint's clear).
void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result);

}  // namespace tarvo
