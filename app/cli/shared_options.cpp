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
#include "app/cli/command_registry.h"
#include "base/input_limits.h"
#include "timebase/historical_dates.h"

namespace tarvo::cli {

namespace {

bool looksLikeOption(const std::string& a) {
  return a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.';
}

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

OptionParser::OptionParser(std::string command, std::string usage)
    : command_(std::move(command)), usage_(std::move(usage)) {}

void OptionParser::add(OptionRule rule) { options_.push_back(std::move(rule)); }

int OptionParser::usageError(const std::string& why) const {
  std::fprintf(stderr, "tarvo %s: %s\nusage: tarvo %s\n", command_.c_str(), why.c_str(), usage_.c_str());
  return kExitUsage;
}

bool OptionParser::parse(const std::vector<std::string>& args) {
  positional_.clear();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const OptionRule* rule = nullptr;
    for (const OptionRule& o : options_) {
      if (o.name == a) rule = &o;
    }
    if (rule == nullptr) {
      if (looksLikeOption(a)) {
        usageError("unknown option " + a);
        return false;
      }
      positional_.push_back(a);
      continue;
    }
    const std::size_t count = static_cast<std::size_t>(rule->valueCount);
    if (args.size() - i - 1 < count) {
      usageError(rule->valueError.empty() ? rule->name + " needs a value" : rule->valueError);
      return false;
    }
    const std::vector<std::string> values(args.begin() + static_cast<long>(i) + 1,
                                          args.begin() + static_cast<long>(i + 1 + count));
    const std::string error = rule->apply(values);
    if (!error.empty()) {
      usageError(error);
      return false;
    }
    i += count;
  }
  return true;
}

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
// How many eclipses --next and --prev may step, and how messages write it.
constexpr InputRange kStepCount{0, 1e6};
const std::string kStepCountText = formatString("%.0f..%.0f", kStepCount.lo, kStepCount.hi);

}  // namespace

void addNextOption(OptionParser& parser, SharedOptions& out) {
  const std::string error = "--next needs a count " + kStepCountText;
  parser.add({"--next", 1,
              [&out, error](const std::vector<std::string>& v) {
                if (out.prevSteps > 0) return std::string(kNextOrPrevious);
                return parseWholeNumber(v[0], kStepCount, out.nextSteps) ? std::string() : error;
              },
              error});
}

void addPreviousOption(OptionParser& parser, SharedOptions& out) {
  const std::string error = "--prev needs a count " + kStepCountText;
  parser.add({"--prev", 1,
              [&out, error](const std::vector<std::string>& v) {
                if (out.nextSteps > 0) return std::string(kNextOrPrevious);
                return parseWholeNumber(v[0], kStepCount, out.prevSteps) ? std::string() : error;
              },
              error});
}

void addDeltaTAdjustOption(OptionParser& parser, SharedOptions& out) {
  const std::string error = "--dt-adjust needs seconds in " + rangeText(limits::kDeltaTAdjustS);
  parser.add({"--dt-adjust", 1,
              [&out, error](const std::vector<std::string>& v) {
                double s = 0;
                if (!parseNumber(v[0], s) || !limits::kDeltaTAdjustS.contains(s)) return error;
                out.deltaTAdjust = s;
                return std::string();
              },
              error});
}

void addJulianDayCursorOption(OptionParser& parser, std::optional<YearMonthOfJd>& out) {
  const std::string error = "--jd needs a Julian Day within the years " + rangeText(limits::kYear);
  parser.add({"--jd", 1,
              [&out, error](const std::vector<std::string>& v) {
                double jd = 0;
                if (!parseNumber(v[0], jd)) return error;
                const CalendarDate c = jdToCalendar(jd, ZoneMode::StandardZone, 0);
                if (!limits::kYear.contains(c.year)) return error;
                out = YearMonthOfJd{c.year, c.month};
                return std::string();
              },
              error});
}

void addDeltaTModelOption(OptionParser& parser, DeltaTModel& out) {
  const std::string error = "--delta-t-model needs builtin or smh2020";
  parser.add({"--delta-t-model", 1,
              [&out, error](const std::vector<std::string>& v) {
                const auto model = deltaTModelFromName(v[0]);
                if (!model) return error;
                out = *model;
                return std::string();
              },
              error});
}

void addSiteOptions(OptionParser& parser, SharedOptions& out) {
  const std::string both = "give either --city NAME or --site LON LAT HEIGHT";
  parser.add({"--city", 1,
              [&out, both](const std::vector<std::string>& v) {
                if (out.typedSite) return both;
                out.cityName = v[0];
                return std::string();
              },
              "--city needs a name"});
  const std::string siteError = "--site needs LON " + rangeText(limits::kLongitudeDeg) + ", LAT " +
                                rangeText(limits::kLatitudeDeg) + " and HEIGHT " +
                                rangeText(limits::kHeightM);
  parser.add({"--site", 3,
              [&out, both, siteError](const std::vector<std::string>& v) {
                SiteValues site;
                if (!parseNumber(v[0], site.longitudeDeg) || !parseNumber(v[1], site.latitudeDeg) ||
                    !parseNumber(v[2], site.heightM) || !limits::kLongitudeDeg.contains(site.longitudeDeg) ||
                    !limits::kLatitudeDeg.contains(site.latitudeDeg) ||
                    !limits::kHeightM.contains(site.heightM)) {
                  return siteError;
                }
                if (out.cityName) return both;
                out.typedSite = site;
                return std::string();
              },
              siteError});
}

void addSizeOption(OptionParser& parser, SharedOptions& out) {
  const std::string error = "--size needs WxH, each 1.." + std::to_string(kMaxSurfaceSide);
  parser.add({"--size", 1,
              [&out, error](const std::vector<std::string>& v) {
                if (!parseSize(v[0], out.width, out.height)) return error;
                out.sizeGiven = true;
                return std::string();
              },
              error});
}

std::string takeYearMonth(const std::vector<std::string>& positional, SharedOptions& out,
                          bool required) {
  if (positional.empty() && !required) return {};
  if (positional.size() != 2) return "YEAR and MONTH are needed";
  if (!parseYear(positional[0], limits::kYear, out.year)) {
    return "YEAR must be an integer " + rangeText(limits::kYear);
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
    const Site& city = *sites.byNumber(found);
    state.siteLongitude = city.longitude;
    state.siteLatitude = city.latitude;
    state.siteHeight = city.height;
    state.displaySiteIndex = found;
    state.siteSource = 0;
  } else if (options.typedSite) {
    state.siteLongitude = options.typedSite->longitudeDeg;
    state.siteLatitude = options.typedSite->latitudeDeg;
    state.siteHeight = options.typedSite->heightM;
    state.displaySiteIndex = kTypedSiteIndex;
    state.siteSource = 1;
  }
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
