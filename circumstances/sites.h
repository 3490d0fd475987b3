// The city list "location.new": one city per line, "name,lon,lat,height,extra".
//
// Lines starting with ";" are comments. Lines are taken in pieces of at most
// 79 characters; the rest of a longer line is read as a line of its own.
// The name is everything before the first comma; each of the four numbers
// runs to the next "," or ";" (a ";" after the last one starts a remark),
// leading blanks skipped, conversion stopping at the first character that
// cannot continue a decimal number, and a field with no number giving 0.
// At most 80 cities are kept.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct SessionState;
class DrawingSurface;

inline constexpr std::size_t kMaxSites = 80;
inline constexpr std::size_t kSitePieceLength = 79;  // characters per piece of a line
inline constexpr const char* kSiteFileName = "location.new";

struct Site {
  std::string name;        // as written, blanks included (at most 79 characters)
  double longitude = 0;    // degrees, east positive
  double latitude = 0;     // degrees, north positive
  double height = 0;       // metres above sea level
  double extra = 0;        // the fourth number, kept and unused
};

// Cities in file order; the dialogs number them from 1.
struct SiteList {
  std::vector<Site> sites;  // at most kMaxSites
  int count() const { return static_cast<int>(sites.size()); }
  // City n, counted from 1; nullptr outside 1..count().
  const Site* byNumber(int n) const;
};

// A text the view shows in white at a pixel position (its top-left corner).
struct ScreenText {
  int x;
  int y;
  const char* text;
};

inline constexpr std::array<ScreenText, 2> kSiteFileMissingTexts{{
    {50, 16, "NO LOCATION.ENG FILE!!"},
    {50, 32, "PLEASE CHECK DIRECTORY!!"},
}};

struct SiteLoadResult {
  int status = 1;  // 1 the file was read (the list may be empty), −1 it could not be read
  // The texts to show for the failure; empty when the file was read.
  std::span<const ScreenText> errorTexts;
  bool ok() const { return status == 1; }
};

// The cities of a city-list file's bytes (any bytes: NULs, binary, CR/LF).
SiteList parseSites(std::string_view bytes);

// Reads the city list at path into `list` (emptied first). When at least one
// city was read, the first becomes the observing site: siteLongitude and
// siteLatitude of `state` take its coordinates; siteHeight is left alone.
// A file that cannot be opened leaves the list empty and the state as it was.
SiteLoadResult loadSites(SessionState& state, SiteList& list, const std::string& path = kSiteFileName);

// Draws a failed load's texts in white in the surface's current font and
// background mode (opaque white on black after the paint's clear).
void drawSiteLoadErrors(DrawingSurface& surface, const SiteLoadResult& result);

}  // namespace tarvo
