#include "app/cli/shared_options.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "app/data_paths.h"
#include "app/time_zones.h"
#include "base/input_limits.h"
#include "base/text.h"
#include "base/text_format.h"
#include "surface/drawing_surface.h"
#include "timebase/historical_dates.h"

namespace tarvo::cli {

bool parseWholeNumber(const std::string& s, const InputRange& range, double& out) {
  return parseNumber(s, out) && out == std::trunc(out) && range.contains(out);
}

bool parseYear(const std::string& s, const InputRange& range, double& out) {
  if (const auto y = historicalYear(s)) {
    if (!range.contains(*y)) return false;
    out = *y;
    return true;
  }
  return parseWholeNumber(s, range, out);
}

std::string yearRangeText(const std::string& given, const InputRange& range) {
  double year = 0;
  const auto historical = historicalYear(given);
  const bool isYear = historical || (parseNumber(given, year) && year == std::trunc(year));
  return isYear ? rangeText(range) + ", that is " + historicalRangeText(range.lo, range.hi) : rangeText(range);
}

bool parseSize(const std::string& s, int& width, int& height) {
  const std::size_t x = s.find('x');
  if (x == std::string::npos) return false;
  const auto side = [](std::string_view part, int& out) {
    const auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), out);
    return ec == std::errc() && ptr == part.data() + part.size() && out >= 1 && out <= kMaxSurfaceSide;
  };
  const std::string_view all(s);
  return side(all.substr(0, x), width) && side(all.substr(x + 1), height);
}

namespace {

const char* const kNextOrPrevious = "give either --next N or --prev N";
const char* const kCityOrSite = "give either --city NAME or --site LON LAT HEIGHT";
// How many eclipses --next and --prev may step, and how messages write it.
constexpr InputRange kStepCount{0, 1e6};
const std::string kStepCountText = formatString("%.0f..%.0f", kStepCount.lo, kStepCount.hi);

}  // namespace

const char* const kYearMonthHelp =
    "the month to land on: a whole year -13000..16999 (0 = 1 BC; or as historians write it, 585BC, AD1066) "
    "and a month 1..12";

OptionRule nextOption(SharedOptions& out) {
  const std::string error = "--next needs a count " + kStepCountText;
  return {.name = "--next",
          .argument = "N",
          .help = "then step N eclipses forward, as Next Eclipse does (" + kStepCountText + ")",
          .apply = [&out, error](const std::vector<std::string>& v) {
            if (out.prevSteps > 0) return std::string(kNextOrPrevious);
            return parseWholeNumber(v[0], kStepCount, out.nextSteps) ? std::string() : error;
          },
          .valueError = error};
}

OptionRule previousOption(SharedOptions& out) {
  const std::string error = "--prev needs a count " + kStepCountText;
  return {.name = "--prev",
          .argument = "N",
          .help = "then step N eclipses back, as Previous Eclipse does (" + kStepCountText + ")",
          .apply = [&out, error](const std::vector<std::string>& v) {
            if (out.nextSteps > 0) return std::string(kNextOrPrevious);
            return parseWholeNumber(v[0], kStepCount, out.prevSteps) ? std::string() : error;
          },
          .valueError = error};
}

OptionRule deltaTAdjustOption(SharedOptions& out) {
  const std::string error = "--dt-adjust needs seconds in " + rangeText(limits::kDeltaTAdjustS);
  return {.name = "--dt-adjust",
          .argument = "SECONDS",
          .help = "seconds added to the model's Delta T (" + rangeText(limits::kDeltaTAdjustS) + ")",
          .apply = [&out, error](const std::vector<std::string>& v) {
            double s = 0;
            if (!parseNumber(v[0], s) || !limits::kDeltaTAdjustS.contains(s)) return error;
            out.deltaT.adjustSeconds = s;
            return std::string();
          },
          .valueError = error};
}

OptionRule julianDayCursorOption(std::optional<YearMonthOfJd>& out) {
  const std::string error = "--jd needs a Julian Day within the years " + rangeText(limits::kYear);
  return {.name = "--jd",
          .argument = "JD",
          .help = "instead of YEAR MONTH: the calendar year and month of a Julian Day (UT)",
          .apply = [&out, error](const std::vector<std::string>& v) {
            double jd = 0;
            if (!parseNumber(v[0], jd)) return error;
            const CalendarDate c = jdToCalendar(jd, ZoneMode::StandardZone, 0);
            if (!limits::kYear.contains(c.year)) return error;
            out = YearMonthOfJd{c.year, c.month};
            return std::string();
          },
          .valueError = error};
}

OptionRule deltaTModelOption(DeltaTModel& out) {
  std::vector<std::string> names;
  for (const DeltaTModelRow& m : deltaTModelTable()) names.emplace_back(m.name);
  std::string choice;
  for (const std::string& n : names) choice += (choice.empty() ? "" : "|") + n;
  std::string either;
  for (std::size_t i = 0; i < names.size(); ++i) {
    either += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  }
  const std::string error = "--delta-t-model needs " + either;
  return {.name = "--delta-t-model",
          .argument = choice,
          .help = "the Delta T model (default " + std::string(deltaTModelName(kDefaultDeltaTModel)) + ")",
          .apply = [&out, error](const std::vector<std::string>& v) {
            const auto model = deltaTModelFromName(v[0]);
            if (!model) return error;
            out = *model;
            return std::string();
          },
          .valueError = error,
          .completion = ValueCompletion::Words,
          .words = names};
}

OptionRule cityOption(SharedOptions& out) {
  return {.name = "--city",
          .argument = "NAME",
          .help = std::string("the city of ") + kSiteFileName + " of that name as the site",
          .apply = [&out](const std::vector<std::string>& v) {
            if (out.typedSite) return std::string(kCityOrSite);
            out.cityName = v[0];
            return std::string();
          },
          .valueError = "--city needs a name"};
}

OptionRule timeZoneOption(SharedOptions& out) {
  return {.name = "--tz",
          .argument = "AREA/CITY",
          .help = "the site's clock: a zone of the time zone database (default: the city's zone, else the nearest "
                  "listed city's within 300 km, else the longitude's)",
          .apply = [&out](const std::vector<std::string>& v) {
            if (!systemZoneDatabase().hasZone(v[0])) {
              return "--tz: '" + v[0] + "' is not a zone of the time zone database (such as Asia/Kolkata)";
            }
            out.timeZone = v[0];
            return std::string();
          },
          .valueError = "--tz needs a zone such as Asia/Kolkata"};
}

OptionRule minPhaseOption(std::optional<EclipsePhase>& out) {
  static const std::vector<std::string> kNames = {"penumbral", "partial", "total"};
  return {.name = "--min-phase",
          .argument = "penumbral|partial|total",
          .help = "the phase that must be seen with the Moon's centre up",
          .apply = [&out](const std::vector<std::string>& v) {
            for (EclipsePhase p : {EclipsePhase::Penumbral, EclipsePhase::Partial, EclipsePhase::Total}) {
              if (v[0] == eclipsePhaseName(p)) {
                out = p;
                return std::string();
              }
            }
            return std::string("--min-phase must be penumbral, partial or total");
          },
          .valueError = "--min-phase needs penumbral, partial or total",
          .completion = ValueCompletion::Words,
          .words = kNames};
}

SiteClock siteClockOf(const SharedOptions& options, const SiteList& sites, const SessionState& state) {
  SiteClock clock;
  clock.zones = &systemZoneDatabase();
  const Site* city = chosenCity(state.site, sites);
  if (city && !options.timeZone) {
    clock.zone = cityZone(*city, *clock.zones);
  } else {
    clock.zone = typedSiteZone(state.site.where, options.timeZone, sites, *clock.zones);
  }
  return clock;
}

OptionRule siteOption(SharedOptions& out) {
  const std::string siteError = "--site needs LON " + rangeText(limits::kLongitudeDeg) + ", LAT " +
                                rangeText(limits::kLatitudeDeg) + " and HEIGHT " + rangeText(limits::kHeightM);
  return {.name = "--site",
          .argument = "LON LAT HEIGHT",
          .help = "a typed site: degrees east " + rangeText(limits::kLongitudeDeg) + ", degrees north " +
                  rangeText(limits::kLatitudeDeg) + ", metres " + rangeText(limits::kHeightM),
          .apply = [&out, siteError](const std::vector<std::string>& v) {
            SiteValues site;
            if (!parseNumber(v[0], site.longitudeDeg) || !parseNumber(v[1], site.latitudeDeg) ||
                !parseNumber(v[2], site.heightM) || !limits::kLongitudeDeg.contains(site.longitudeDeg) ||
                !limits::kLatitudeDeg.contains(site.latitudeDeg) || !limits::kHeightM.contains(site.heightM)) {
              return siteError;
            }
            if (out.cityName) return std::string(kCityOrSite);
            out.typedSite = site;
            return std::string();
          },
          .valueError = siteError};
}

OptionRule sizeOption(SharedOptions& out) {
  const std::string error = "--size needs WxH, each 1.." + std::to_string(kMaxSurfaceSide);
  return {.name = "--size",
          .argument = "WxH",
          .help = formatString("the picture's client size in pixels (default %dx%d)", kDefaultWidth, kDefaultHeight),
          .apply = [&out, error](const std::vector<std::string>& v) {
            if (!parseSize(v[0], out.width, out.height)) return error;
            out.sizeGiven = true;
            return std::string();
          },
          .valueError = error};
}

OptionRule scaleOption(SharedOptions& out) {
  const std::string error = formatString("--scale needs a ratio from %g to %g", kMinSurfaceScale, kMaxSurfaceScale);
  return {.name = "--scale",
          .argument = "R",
          .help = "paint as the window does on a screen of pixel ratio R (1 to 4, default 1): the layout "
                  "of --size, the picture R times as wide and high",
          .apply = [&out, error](const std::vector<std::string>& v) {
            double r = 0;
            if (!parseNumber(v[0], r) || !(r >= kMinSurfaceScale && r <= kMaxSurfaceScale)) return error;
            out.scale = r;
            out.scaleGiven = true;
            return std::string();
          },
          .valueError = error};
}

std::string pictureSizeError(const SharedOptions& options) {
  if (options.width * options.scale <= kMaxSurfaceSide && options.height * options.scale <= kMaxSurfaceSide) return {};
  return formatString("--size times --scale is more than %d pixels a side", kMaxSurfaceSide);
}

std::string pictureSizeText(const SharedOptions& options) {
  return formatString("%d\u00d7%d", static_cast<int>(std::lround(options.width * options.scale)),
                      static_cast<int>(std::lround(options.height * options.scale)));
}

OptionRule flagOption(std::string name, std::string help, bool& out) {
  return {.name = std::move(name), .argument = {}, .help = std::move(help), .apply = [&out](const std::vector<std::string>&) {
            out = true;
            return std::string();
          }};
}

OptionRule outputFileOption(std::string name, std::string argument, std::string help, std::string& out) {
  const std::string error = name + " needs a file name";
  return {.name = std::move(name),
          .argument = std::move(argument),
          .help = std::move(help),
          .apply = [&out, error](const std::vector<std::string>& v) {
            if (v[0].empty()) return error;
            out = v[0];
            return std::string();
          },
          .valueError = error,
          .completion = ValueCompletion::File};
}

std::string takeYearMonth(const std::vector<std::string>& positional, SharedOptions& out,
                          bool required) {
  if (positional.empty() && !required) return {};
  if (positional.size() != 2) return "YEAR and MONTH are needed";
  if (!parseYear(positional[0], limits::kYear, out.year)) {
    return "YEAR must be an integer " + yearRangeText(positional[0], limits::kYear);
  }
  if (!parseWholeNumber(positional[1], limits::kMonth, out.month)) {
    return "MONTH must be an integer " + rangeText(limits::kMonth);
  }
  out.cursorGiven = true;
  return {};
}

int findCity(const SiteList& sites, std::string_view name) {
  const std::string_view wanted = trimmed(name);
  for (int n = 1; n <= sites.count(); ++n) {
    if (trimmed(sites.byNumber(n)->name) == wanted) return n;
  }
  // ASCII letters only are folded: the names are UTF-8.
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  auto sameIgnoringCase = [&](std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
  };
  for (int n = 1; n <= sites.count(); ++n) {
    if (sameIgnoringCase(trimmed(sites.byNumber(n)->name), wanted)) return n;
  }
  return 0;
}

std::string applySiteOptions(const SharedOptions& options, const SiteList& sites, SessionState& state) {
  if (options.cityName) {
    const int found = findCity(sites, *options.cityName);
    if (found == 0) {
      std::string names;
      for (const Site& city : sites.sites) names += (names.empty() ? "" : ", ") + std::string(trimmed(city.name));
      return "no city named '" + *options.cityName + "' in " + kSiteFileName +
             (names.empty() ? std::string("; it lists no city") : "; the cities are: " + names);
    }
    state.site = *cityChoice(sites, found);
  } else if (options.typedSite) {
    state.site = typedChoice(options.typedSite->longitudeDeg, options.typedSite->latitudeDeg,
                             options.typedSite->heightM);
  }
  // The clock --tz names is the site's, as the Display dialog's zone field.
  if (options.timeZone && (options.cityName || options.typedSite)) state.site.timeZone = *options.timeZone;
  return {};
}

std::string takeDataDirectory(std::vector<std::string>& args, std::optional<std::string>& dir) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--data") continue;
    if (i + 1 >= args.size()) return "--data needs a directory";
    dir = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    break;
  }
  return {};
}

void anchorOutputFiles(std::vector<std::string>& args, const std::string& startDirectory) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--out" && args[i] != "--png") continue;
    std::string& file = args[i + 1];
    if (!file.empty() && file[0] != '/') file = startDirectory + "/" + file;
    ++i;
  }
}

namespace {
std::string& siteFileSetting() {
  static std::string path = kSiteFileName;
  return path;
}
}  // namespace

const std::string& siteFile() { return siteFileSetting(); }

void setSiteFile(std::string path) { siteFileSetting() = std::move(path); }

namespace {
std::string& siteFilePlacesSetting() {
  static std::string places;
  return places;
}
}  // namespace

const std::string& siteFilePlaces() { return siteFilePlacesSetting(); }

void setSiteFilePlaces(std::string places) { siteFilePlacesSetting() = std::move(places); }

std::string refusedOutputFile(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  const std::string what = programDataFileAt(path, ec ? std::filesystem::path(".") : here, siteFile());
  return what.empty() ? std::string() : "it is the program's " + what.substr(4);  // drop "the "
}

}  // namespace tarvo::cli
