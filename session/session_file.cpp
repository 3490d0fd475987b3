#include "session/session_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <set>

#include "base/input_limits.h"
#include "base/text.h"
#include "base/text_format.h"
#include "timebase/delta_t.h"

namespace tarvo {

namespace {

// Each key's accepted words, in the order of the codes they stand for.
constexpr std::string_view kDisplayWords[] = {"map", "local", "sky", "sim"};
constexpr std::string_view kSiteWords[] = {"city", "typed"};
constexpr std::string_view kSearchWords[] = {"all", "type", "site", "saros"};
constexpr std::string_view kGridWords[] = {"on", "off"};
constexpr std::string_view kOutlineWords[] = {"builtin", "coastlines"};
constexpr std::string_view kAltitudeWords[] = {"geocentric", "seen"};
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::optional<double> numberOf(std::string_view text) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A number as the file keeps it: "%.17g" with '.' as the decimal point,
// whatever the user's locale (printf would follow LC_NUMERIC).
std::string numberText(double v) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 17);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

template <std::size_t N>
std::optional<int> wordIndex(std::string_view value, const std::string_view (&words)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (value == words[i]) return static_cast<int>(i);
  return std::nullopt;
}

template <std::size_t N>
std::string wordList(const std::string_view (&words)[N]) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) out += i + 1 == N ? " or " : ", ";
    out += words[i];
  }
  return out;
}

// One line's value into the settings; an error text without the line number.
class LineReader {
 public:
  explicit LineReader(SessionSettings& s) : s_(s) {}

  std::string take(std::string_view key, std::string_view value) {
    if (key == "year") return whole(key, value, limits::kYear, s_.year);
    if (key == "month") return whole(key, value, limits::kMonth, s_.month);
    if (key == "display") return word(key, value, kDisplayWords, [&](int i) {
      s_.displayKind = i == 1 ? kDisplayLocalReport : kDisplayWorldMap;
      s_.drawnOver = i == 2 ? DrawnOver::StarMap : i == 3 ? DrawnOver::Simulation : DrawnOver::Nothing;
    });
    if (key == "site") return word(key, value, kSiteWords, [&](int i) { s_.typedSite = i == 1; });
    if (key == "city") return city(value);
    if (key == "longitude") return number(key, value, limits::kLongitudeDeg, s_.siteLongitude);
    if (key == "latitude") return number(key, value, limits::kLatitudeDeg, s_.siteLatitude);
    if (key == "height") return number(key, value, limits::kHeightM, s_.siteHeight);
    if (key == "search") return word(key, value, kSearchWords, [&](int i) { s_.searchType = i; });
    if (key == "type") return whole(key, value, limits::kTypeCode, s_.typeCriterion);
    if (key == "magnitude") return number(key, value, limits::kMagnitude, s_.magnitudeCriterion);
    if (key == "saros") {
      int saros = 0;
      std::string e = whole(key, value, limits::kSaros, saros);
      s_.sarosCriterion = saros;
      return e;
    }
    if (key == "type_lookback") return number(key, value, limits::kLookBackYears, s_.typeLookBackYears);
    if (key == "site_lookback") return number(key, value, limits::kLookBackYears, s_.siteLookBackYears);
    if (key == "grid") return word(key, value, kGridWords, [&](int i) {
      s_.gridMode = i == 0 ? kGridShown : kGridHidden;
    });
    if (key == "outline") return word(key, value, kOutlineWords, [&](int i) {
      s_.outlineChoice = i == 0 ? kOutlineBuiltIn : kOutlineCoastlineFiles;
    });
    if (key == "dt_adjust") return number(key, value, limits::kDeltaTAdjustS, s_.deltaT.adjustSeconds);
    if (key == "dt_bands") return word(key, value, kGridWords, [&](int i) { s_.deltaTBands = i == 0; });
    if (key == "altitudes") return word(key, value, kAltitudeWords, [&](int i) { s_.altitudesAsSeen = i == 1; });
    if (key == "time_zone") return timeZone(value);
    if (key == "delta_t_model") return deltaTModel(key, value);
    return formatString("unknown key \"%.*s\"", static_cast<int>(key.size()), key.data());
  }

 private:
  static std::string quoted(std::string_view v) {
    return formatString("\"%.*s\"", static_cast<int>(std::min<std::size_t>(v.size(), 40)), v.data());
  }

  std::string number(std::string_view key, std::string_view value, const InputRange& range, double& out) {
    const std::optional<double> v = numberOf(value);
    const std::string name(key);
    if (!v) return name + " " + quoted(value) + " is not a number";
    if (!range.contains(*v)) return name + " " + std::string(value) + " outside " + rangeText(range);
    out = *v;
    return {};
  }

  std::string whole(std::string_view key, std::string_view value, const InputRange& range, int& out) {
    double v = 0;
    std::string e = number(key, value, range, v);
    if (!e.empty()) return e;
    if (v != std::trunc(v)) return std::string(key) + " " + std::string(value) + " is not a whole number";
    out = static_cast<int>(v);
    return {};
  }

  template <std::size_t N, class Apply>
  std::string word(std::string_view key, std::string_view value, const std::string_view (&words)[N],
                   Apply apply) {
    const std::optional<int> i = wordIndex(value, words);
    if (!i) return std::string(key) + " " + quoted(value) + " is not " + wordList(words);
    apply(*i);
    return {};
  }

  // A model's name from the table of ΔT models.
  std::string deltaTModel(std::string_view key, std::string_view value) {
    if (const std::optional<DeltaTModel> m = deltaTModelFromName(value)) {
      s_.deltaT.model = *m;
      return {};
    }
    const auto& models = deltaTModelTable();
    std::string names;
    for (std::size_t i = 0; i < models.size(); ++i) {
      if (i > 0) names += i + 1 == models.size() ? " or " : ", ";
      names += models[i].name;
    }
    return std::string(key) + " " + quoted(value) + " is not " + names;
  }

  std::string city(std::string_view value) {
    for (char c : value)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "city name has a control character";
    if (value.size() > kSitePieceLength) return "city name longer than 79 characters";
    s_.cityName = std::string(value);
    return {};
  }

  // A zone name as the tz database spells them ("America/Argentina/Buenos_Aires",
  // "Etc/GMT+5"); whether the database knows it is asked when the file is applied.
  std::string timeZone(std::string_view value) {
    if (value.empty() || value.size() > kMaxZoneNameLength) return "time_zone must be a zone such as Asia/Kolkata";
    for (char c : value) {
      const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                      c == '_' || c == '-' || c == '+';
      if (!ok) return "time_zone " + quoted(value) + " is not a zone name such as Asia/Kolkata";
    }
    s_.timeZone = std::string(value);
    return {};
  }

  static constexpr std::size_t kMaxZoneNameLength = 64;
  SessionSettings& s_;
};

SessionFileError lineError(int line, const std::string& why) {
  return {formatString("line %d: %s", line, why.c_str())};
}

}  // namespace

SessionFileResult parseSessionFile(std::string_view bytes) {
  if (bytes.size() > kMaxSessionFileBytes)
    return SessionFileError{formatString("too large for a session file (more than %zu bytes)",
                                         kMaxSessionFileBytes)};
  if (!isUtf8Text(bytes)) return SessionFileError{"not a text file (binary or not UTF-8)"};
  // A byte-order mark some editors put first says only that the text is UTF-8.
  if (bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) bytes.remove_prefix(kUtf8ByteOrderMark.size());

  std::size_t pos = 0;
  auto nextLine = [&]() -> std::string_view {
    const std::size_t end = bytes.find('\n', pos);
    const std::string_view line =
        bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? bytes.size() + 1 : end + 1;
    return line;
  };

  // The header: the format's name and its version.
  const std::string_view header = trimmed(nextLine());
  const std::string_view name = kSessionFileHeader;
  if (header.substr(0, name.size()) != name || header.size() <= name.size() + 1 ||
      header[name.size()] != ' ')
    return SessionFileError{"not a TarvoWin session file (its first line is not \"TarvoWin session 1\")"};
  const std::optional<double> version = numberOf(trimmed(header.substr(name.size() + 1)));
  if (!version || *version != std::trunc(*version))
    return SessionFileError{"not a TarvoWin session file (its first line is not \"TarvoWin session 1\")"};
  if (*version != kSessionFileVersion)
    return SessionFileError{formatString("session file version %g is not known (this program reads version %d)",
                                         *version, kSessionFileVersion)};

  SessionSettings settings;
  LineReader reader(settings);
  std::set<std::string, std::less<>> seen;
  for (int lineNumber = 2; pos <= bytes.size(); ++lineNumber) {
    const std::string_view line = trimmed(nextLine());
    if (line.empty() || line.front() == '#') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return lineError(lineNumber, "expected \"key = value\"");
    const std::string_view key = trimmed(line.substr(0, eq));
    const std::string_view value = trimmed(line.substr(eq + 1));
    if (seen.count(key) != 0)
      return lineError(lineNumber, formatString("\"%.*s\" given twice", static_cast<int>(key.size()), key.data()));
    const std::string why = reader.take(key, value);
    if (!why.empty()) return lineError(lineNumber, why);
    if (key == "city") settings.cityLine = lineNumber;
    if (key == "time_zone") settings.timeZoneLine = lineNumber;
    seen.emplace(key);
  }
  if (seen.count("year") == 0 || seen.count("month") == 0)
    return SessionFileError{"the year or the month is missing"};
  return settings;
}

SessionFileResult readSessionFile(const std::string& path) {
  // Opened without waiting for a writer: a pipe in the file's place is
  // refused below rather than read forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SessionFileError{std::string("cannot be opened: ") + std::strerror(errno)};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    ::close(fd);
    return SessionFileError{folder ? "cannot be opened: it is a folder"
                                   : "cannot be opened: not a regular file (a pipe, a device or a socket)"};
  }
  std::string bytes(kMaxSessionFileBytes + 1, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      return SessionFileError{std::string("cannot be read: ") + std::strerror(error)};
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  return parseSessionFile(bytes);
}

std::string formatSessionFile(const SessionSettings& s) {
  const auto word = [](auto& words, int i) { return std::string(words[i]); };
  std::string out = formatString("%s %d\n", kSessionFileHeader, kSessionFileVersion);
  out += formatString("year = %d\nmonth = %d\n", s.year, s.month);
  const int display = s.drawnOver == DrawnOver::StarMap      ? 2
                      : s.drawnOver == DrawnOver::Simulation ? 3
                      : s.displayKind == kDisplayLocalReport ? 1
                                                             : 0;
  out += "display = " + word(kDisplayWords, display) + "\n";
  out += "site = " + word(kSiteWords, s.typedSite ? 1 : 0) + "\n";
  if (!s.typedSite && !s.cityName.empty()) out += "city = " + s.cityName + "\n";
  out += "longitude = " + numberText(s.siteLongitude) + "\nlatitude = " + numberText(s.siteLatitude) +
         "\nheight = " + numberText(s.siteHeight) + "\n";
  const int search = s.searchType >= 0 && s.searchType <= 3 ? s.searchType : 0;
  out += "search = " + word(kSearchWords, search) + "\n";
  out += formatString("type = %d\n", s.typeCriterion);
  out += "magnitude = " + numberText(s.magnitudeCriterion) + "\nsaros = " + numberText(s.sarosCriterion) + "\n";
  out += "type_lookback = " + numberText(s.typeLookBackYears) + "\nsite_lookback = " +
         numberText(s.siteLookBackYears) + "\n";
  out += "grid = " + word(kGridWords, s.gridMode == kGridShown ? 0 : 1) + "\n";
  out += "outline = " + word(kOutlineWords, s.outlineChoice == kOutlineCoastlineFiles ? 1 : 0) + "\n";
  out += "dt_adjust = " + numberText(s.deltaT.adjustSeconds) + "\n";
  out += std::string("delta_t_model = ") + deltaTModelName(s.deltaT.model) + "\n";
  out += "dt_bands = " + word(kGridWords, s.deltaTBands ? 0 : 1) + "\n";
  out += "altitudes = " + word(kAltitudeWords, s.altitudesAsSeen ? 1 : 0) + "\n";
  if (!s.timeZone.empty()) out += "time_zone = " + s.timeZone + "\n";
  return out;
}

SessionSettings sessionSettingsOf(const SessionState& state) {
  SessionSettings s;
  s.year = static_cast<int>(state.year);
  s.month = static_cast<int>(state.month);
  s.displayKind = state.displayKind == kDisplayLocalReport ? kDisplayLocalReport : kDisplayWorldMap;
  s.drawnOver = state.drawnOver;
  s.typedSite = state.site.typed();
  if (const Site* city = chosenCity(state.site, state.sites)) s.cityName = city->name;
  s.siteLongitude = state.site.where.longitudeDeg;
  s.siteLatitude = state.site.where.latitudeDeg;
  s.siteHeight = state.site.where.heightM;
  s.searchType = state.searchType;
  s.typeCriterion = state.typeCriterion;
  s.magnitudeCriterion = state.magnitudeCriterion;
  s.sarosCriterion = state.sarosCriterion;
  s.typeLookBackYears = state.typeLookBackYears;
  s.siteLookBackYears = state.siteLookBackYears;
  s.gridMode = state.gridMode == kGridShown ? kGridShown : kGridHidden;
  s.outlineChoice = state.outlineChoice == kOutlineCoastlineFiles ? kOutlineCoastlineFiles : kOutlineBuiltIn;
  s.deltaT = state.deltaTChoice;
  s.deltaTBands = state.deltaTBandsShown;
  s.altitudesAsSeen = state.altitudesAsSeen;
  s.timeZone = state.site.timeZone;
  return s;
}

std::optional<SessionFileError> applySessionSettings(const SessionSettings& s, SessionState& state,
                                                     const ZoneDatabase* zones) {
  if (zones && !s.timeZone.empty() && !zones->hasZone(s.timeZone))
    return lineError(s.timeZoneLine,
                     formatString("no zone named \"%s\" in the time zone database", s.timeZone.c_str()));
  // The site first: a file naming a city the list lacks changes nothing.
  SiteChoice site = state.site;
  if (s.typedSite) {
    site = typedChoice(s.siteLongitude, s.siteLatitude, s.siteHeight);
  } else if (s.cityName.empty()) {
    if (const std::optional<SiteChoice> first = cityChoice(state.sites, 1)) site = *first;
  } else {
    int found = 0;
    for (int n = 1; n <= state.sites.count() && found == 0; ++n)
      if (state.sites.byNumber(n)->name == s.cityName) found = n;
    if (found == 0)
      return lineError(s.cityLine, formatString("no city named \"%s\" in %s", s.cityName.c_str(), kSiteFileName));
    site = *cityChoice(state.sites, found);
  }
  site.timeZone = s.timeZone;
  state.site = site;
  state.year = s.year;
  state.month = s.month;
  state.searchStartYear = s.year;
  state.pendingAction = kLandAtCursor;
  state.displayKind = s.displayKind;
  state.drawnOver = s.drawnOver;
  state.searchType = s.searchType;
  state.typeCriterion = s.typeCriterion;
  state.magnitudeCriterion = s.magnitudeCriterion;
  state.sarosCriterion = s.sarosCriterion;
  state.typeLookBackYears = s.typeLookBackYears;
  state.siteLookBackYears = s.siteLookBackYears;
  state.gridMode = s.gridMode;
  state.outlineChoice = s.outlineChoice;
  state.deltaTChoice = s.deltaT;
  state.deltaTBandsShown = s.deltaTBands;
  state.altitudesAsSeen = s.altitudesAsSeen;
  return std::nullopt;
}

}  // namespace tarvo
