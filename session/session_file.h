// Session files (".tarvo"): what the user chose in a view, kept as UTF-8
// text. The first line names the format and its version; then one
// "key = value" line per setting, in any order; blank lines and lines
// starting with "#" are ignored. Keys that are absent keep their defaults.
// A UTF-8 byte-order mark before the first line is allowed.
//
//   TarvoWin session 1
//   year = 2025
//   month = 3
//   display = map              (map | local | sky | sim: the star map or the
//                               simulation drawn over the map)
//   site = typed               (city | typed)
//   city = Tokyo               (the city's name, for site = city)
//   longitude = 139.7447       (typed site: degrees east, north, metres)
//   latitude = 35.6544
//   height = 0
//   search = all               (all | type | site | saros)
//   type = 1                   (the criteria of the Search dialog)
//   magnitude = 0.5
//   saros = 145
//   type_lookback = 20
//   site_lookback = 50
//   grid = off                 (on | off)
//   outline = builtin          (builtin | coastlines)
//   dt_adjust = 0              (seconds)
//   delta_t_model = builtin    (builtin | smh2020)
//   dt_bands = off             (on | off: the zone boundaries at ΔT ± σ)
//   altitudes = geocentric     (geocentric | seen: the local report's Alt. column)
//   time_zone = Asia/Kolkata   (optional: the site's clock, a zone of the tz
//                               database; absent: automatic)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "session/session_state.h"
#include "timebase/civil_time.h"

namespace tarvo {

inline constexpr const char* kSessionFileHeader = "TarvoWin session";
inline constexpr int kSessionFileVersion = 1;
inline constexpr const char* kSessionFileExtension = ".tarvo";
inline constexpr std::size_t kMaxSessionFileBytes = 64 * 1024;

// The settings a session file keeps.
struct SessionSettings {
  int year = 2025;
  int month = 1;
  int displayKind = kDisplayWorldMap;
  DrawnOver drawnOver = DrawnOver::Nothing;
  bool typedSite = false;
  std::string cityName;  // for a city site; empty: the first city of the list
  int cityLine = 0;      // the line that names the city (0: none does)
  double siteLongitude = 0, siteLatitude = 0, siteHeight = 0;  // degrees, metres
  int searchType = 0;  // SearchType
  int typeCriterion = 1;
  double magnitudeCriterion = 0.5;
  double sarosCriterion = 145;
  double typeLookBackYears = 20;
  double siteLookBackYears = 50;
  int gridMode = kGridHidden;
  int outlineChoice = kOutlineBuiltIn;
  DeltaTChoice deltaT;  // dt_adjust (seconds) and delta_t_model
  bool deltaTBands = false;
  bool altitudesAsSeen = false;
  std::string timeZone;  // the site's zone; empty: automatic
  int timeZoneLine = 0;  // the line that names it (0: none does)
};

// Why a file is not a session this program can open.
struct SessionFileError {
  std::string reason;  // e.g. "line 4: month 13 outside 1..12"
};

using SessionFileResult = std::variant<SessionSettings, SessionFileError>;

// The settings in a session file's bytes; any bytes, never more than
// kMaxSessionFileBytes read.
SessionFileResult parseSessionFile(std::string_view bytes);

// Reads and parses the file at path: a missing or unreadable file, a file
// larger than kMaxSessionFileBytes, or one that does not parse is an error.
SessionFileResult readSessionFile(const std::string& path);

// The text of a session file holding `settings` (the header line first).
std::string formatSessionFile(const SessionSettings& settings);

// The settings of the session as the user sees it.
SessionSettings sessionSettingsOf(const SessionState& state);

// The settings into a session whose city list has been read: the cursor is
// set to land on at the next paint; a city site is looked up by name in
// state.sites (no name: the first city). A name the list does not hold is
// refused ("line 5: no city named "Atlantis" in location.new") and the
// state is left as it was; so is, given a database, a zone it lacks.
std::optional<SessionFileError> applySessionSettings(const SessionSettings& settings, SessionState& state,
                                                     const ZoneDatabase* zones = nullptr);

}  // namespace tarvo
