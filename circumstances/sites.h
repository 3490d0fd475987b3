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

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

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

// The cities of a city-list file's bytes (any bytes: NULs, binary, CR/LF).
SiteList parseSites(std::string_view bytes);

// The cities of the city-list file at path, or nullopt when it cannot be
// opened or read (a missing file, a directory of that name).
std::optional<SiteList> readSitesFile(const std::string& path = kSiteFileName);

}  // namespace tarvo
