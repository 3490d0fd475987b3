// The options several sub-commands share, and a small parser that commands
// extend with their own: YEAR MONTH, --next N, --dt-adjust S,
// --city NAME | --site LON LAT HEIGHT, --size WxH (and --data DIR, which
// main() takes before any command runs).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/option_parser.h"
#include "circumstances/geometry.h"
#include "circumstances/phase_seen.h"
#include "circumstances/site_zone.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

namespace tarvo::cli {

// The client size of the view a picture is drawn for when no --size is given.
inline constexpr int kDefaultWidth = 692;
inline constexpr int kDefaultHeight = 453;
inline constexpr int kMaxSurfaceSide = 10000;  // pixels

// The values of the shared options.
struct SharedOptions {
  bool cursorGiven = false;  // YEAR MONTH were given
  double year = 0, month = 0;
  double nextSteps = 0;       // Next eclipse steps after landing
  double prevSteps = 0;       // Previous eclipse steps after landing (not with nextSteps)
  DeltaTChoice deltaT;        // --delta-t-model and --dt-adjust (s)
  std::optional<std::string> cityName;
  std::optional<SiteValues> typedSite;  // degrees east, north; metres
  std::optional<std::string> timeZone;  // --tz: a zone of the tz database for the site's clock
  bool sizeGiven = false;
  int width = kDefaultWidth, height = kDefaultHeight;  // pixels
  bool scaleGiven = false;
  double scale = 1;  // device pixels per pixel of the layout
};

// The shared options, each writing into `out`; a command adds them to its
// parser alone (parser.add) or as alternatives (parser.addEither).
OptionRule nextOption(SharedOptions& out);
OptionRule previousOption(SharedOptions& out);  // --prev; not with --next
OptionRule deltaTAdjustOption(SharedOptions& out);
// --jd JD: the cursor goes to the calendar year and month of the Julian Day
// (UT), which must fall within the cursor's years.
struct YearMonthOfJd {
  double year, month;
};
OptionRule julianDayCursorOption(std::optional<YearMonthOfJd>& out);
// --delta-t-model NAME, a model of the table of ΔT models
OptionRule deltaTModelOption(DeltaTModel& out);
OptionRule cityOption(SharedOptions& out);
OptionRule siteOption(SharedOptions& out);
OptionRule sizeOption(SharedOptions& out);
// --scale R: the picture painted as the window paints on a screen of device
// pixel ratio R, kMinSurfaceScale..kMaxSurfaceScale.
OptionRule scaleOption(SharedOptions& out);
// The refusal of a picture whose --size times --scale is more than
// kMaxSurfaceSide pixels a side; empty when it may be drawn.
std::string pictureSizeError(const SharedOptions& options);
// The picture's size in device pixels, "W×H", as a message names it.
std::string pictureSizeText(const SharedOptions& options);
// --tz AREA/CITY, a zone the system's tz database knows.
OptionRule timeZoneOption(SharedOptions& out);
// --min-phase penumbral|partial|total
OptionRule minPhaseOption(std::optional<EclipsePhase>& out);
// A flag: --grid, --sigma.
OptionRule flagOption(std::string name, std::string help, bool& out);
// An option naming a file to write: --out, --png.
OptionRule outputFileOption(std::string name, std::string argument, std::string help, std::string& out);

// What YEAR MONTH mean, for the help.
extern const char* const kYearMonthHelp;

// A whole number within the range.
bool parseWholeNumber(const std::string& s, const InputRange& range, double& out);
// A whole year within the range, astronomical ("-584") or as historians
// write it ("585 BC", "AD 1066").
bool parseYear(const std::string& s, const InputRange& range, double& out);
// The range of a refused year as a message writes it: "-13000..16999" when
// the text is no year at all, and both ways, "-13000..16999, that is 13001 BC
// to AD 16999", when it is a year outside the range.
std::string yearRangeText(const std::string& given, const InputRange& range);
// "WxH" with both sides whole numbers in 1..kMaxSurfaceSide.
bool parseSize(const std::string& s, int& width, int& height);

// YEAR MONTH from the positional arguments into `out`, as the Time Set dialog
// takes them: a whole year −13000..16999 and a whole month 1..12 (the year
// checked first). With required, exactly two must be there; otherwise none or
// two. Returns an error message naming the range, empty when accepted.
std::string takeYearMonth(const std::vector<std::string>& positional, SharedOptions& out,
                          bool required);

// The number (from 1) of the city called name, blanks around both ignored:
// an exact match first, else the first whose name differs only in the case
// of ASCII letters; 0 when none matches.
int findCity(const SiteList& sites, std::string_view name);

// The site options after the city list is read: --city NAME picks the city
// found by findCity as the observing site, --site the typed coordinates
// (a typed site choice), each with the --tz zone when given. Returns an error message for a city
// not in the list (naming the cities there), empty otherwise; without either
// option does nothing.
std::string applySiteOptions(const SharedOptions& options, const SiteList& sites, SessionState& state);

// The observing site's clock after applySiteOptions: --tz when given, else a
// city's own zone, else for typed coordinates the nearest city's zone or the
// longitude's (typedSiteZone), read from the system's tz database.
SiteClock siteClockOf(const SharedOptions& options, const SiteList& sites, const SessionState& state);

// Takes "--data DIR" from anywhere in the command line into dir (left as it
// is without the option). Returns an error message, empty when accepted.
std::string takeDataDirectory(std::vector<std::string>& args, std::optional<std::string>& dir);

// Makes a relative FILE of the options that write a file (--out, --png)
// relative to startDirectory, the directory tarvo was started in, for when
// the program works in a data directory the user did not name.
void anchorOutputFiles(std::vector<std::string>& args, const std::string& startDirectory);

// Why a file the command is to write (--out, --png) is refused: it is one
// of the program's own data files in the working (data) directory or the city
// list in use ("it is the program's city list location.new"); empty when it
// may be written.
std::string refusedOutputFile(const std::string& path);

// The city list the commands read ("location.new" of the working directory
// unless main sets another: the user's own).
const std::string& siteFile();
void setSiteFile(std::string path);
// Where the city list was looked for ("/home/u/.config/tarvowin and /data"),
// named when it cannot be read.
const std::string& siteFilePlaces();
void setSiteFilePlaces(std::string places);

}  // namespace tarvo::cli
