// The city list "location.new": one city per line, "name,lon,lat,height,offset".
//
// Lines starting with ";" are comments, to their end. Other lines are taken
// in pieces of at most 79 characters; the rest of a longer line is read as a
// line of its own.
// The name is everything before the first comma; each of the four numbers
// runs to the next "," or ";" (a ";" after the last one starts a remark) and
// is read as the decimal number it starts with, after leading blanks
// (conversion stops where the number does). At most 80 cities are kept.
//
// Each piece is checked as it is read: a name that is empty or holds a
// control character, or a number field that is missing, does not start with
// a number, or is outside its range (kCityFields) makes the piece skipped; the good cities are kept
// in order. A piece with a NUL byte or invalid UTF-8 (comments may hold any
// bytes but NUL) is not text: before the first good city it refuses the
// whole file, after it it is skipped like any bad line.
//
// A remark after the fourth number may name the city's time zone in the tz
// database: "Delhi,77.2090,28.6139,0,5.5;tz=Asia/Kolkata". Readers that do
// not know it take it as any remark; a city without one keeps its offset.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/input_limits.h"

namespace tarvo {

inline constexpr std::size_t kMaxSites = 80;
inline constexpr std::size_t kSitePieceLength = 79;  // characters per piece of a line
inline constexpr const char* kSiteFileName = "location.new";

struct Site {
  std::string name;        // as written, blanks included (at most 79 characters)
  double longitude = 0;    // degrees, east positive
  double latitude = 0;     // degrees, north positive
  double height = 0;       // metres above sea level
  double extra = 0;        // the fourth number: the UTC offset, hours east
  std::string zoneName;    // the remark's "tz=AREA/CITY", empty when none
};

// The zone name of a remark after the fourth number: the word after "tz="
// at its start (blanks allowed before), if it looks like a tz database name
// (letters, digits, "/", "_", "+", "-"; at most 64 characters); else empty.
std::string zoneNameOfRemark(std::string_view remark);

// The four numbers of a city line in file order, with the range each must lie in.
struct CityField {
  const char* name;  // as the reading's messages call it
  double Site::*member;
  InputRange range;
};
inline constexpr CityField kCityFields[] = {
    {"longitude", &Site::longitude, limits::kLongitudeDeg},
    {"latitude", &Site::latitude, limits::kLatitudeDeg},
    {"height", &Site::height, limits::kCityHeightM},
    {"offset", &Site::extra, limits::kCityUtcOffsetH},
};

// Cities in file order; the dialogs number them from 1.
struct SiteList {
  std::vector<Site> sites;  // at most kMaxSites
  int count() const { return static_cast<int>(sites.size()); }
  // City n, counted from 1; nullptr outside 1..count().
  const Site* byNumber(int n) const;
};

// Why a piece of the file was not taken.
struct SiteLineProblem {
  long long lineNumber = 0;  // from 1, every line of the file counted; a long line's pieces share it
  std::string reason;  // e.g. "latitude 999 outside −90..90"
};

// What a reading of the city list gave.
struct SiteReading {
  SiteList list;           // the good cities in file order; empty when refused
  bool notText = false;    // the file was refused whole as not text
  long long skippedLines = 0;  // lines with at least one skipped piece
  std::optional<SiteLineProblem> firstProblem;  // the refusal's, or the first skipped line's
};

// The one message about a reading, empty when nothing was skipped:
// "location.new line 7: latitude 999 outside −90..90 (2 lines skipped)", or
// for a refusal "location.new line 1: not text (a NUL byte); no city is read".
std::string siteReadingNotice(const SiteReading& reading, std::string_view fileName = kSiteFileName);

// The cities of a city-list file's bytes (any bytes: NULs, binary, CR/LF).
SiteReading parseSites(std::string_view bytes);

// The reading of the city-list file at path, or nullopt when it cannot be
// opened or read (a missing file, a directory of that name, a pipe or device:
// never waited on); *whyNot then says why, in the system's words or "not a
// regular file".
std::optional<SiteReading> readSitesFile(const std::string& path = kSiteFileName, std::string* whyNot = nullptr);

}  // namespace tarvo
