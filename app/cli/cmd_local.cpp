// tarvo local YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--dt-adjust S]
//             [--png FILE [--size WxH]]
// Lands on the cursor as a repaint does and prints the local circumstances
// report, one `y=<row> <text>` line per report line in drawing order; with
// --png also draws it on a black surface and saves it.
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "catalogue/canon_reader.h"
#include "session/landing.h"
#include "circumstances/sites.h"
#include "core/drawing_surface.h"
#include "core/session_state.h"
#include "session/local_display.h"
#include "session/site_glue.h"

namespace tarvo::cli {
namespace {

constexpr const char* kUsage =
    "local YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--dt-adjust SECONDS] "
    "[--png FILE [--size WxH]]";
constexpr int kDefaultWidth = 692;
constexpr int kDefaultHeight = 453;
constexpr int kMaxSurfaceSide = 10000;  // pixels
constexpr int kTypedSiteIndex = 99;
constexpr int kExitPngFailed = 1;

int usageError(const std::string& why) {
  std::fprintf(stderr, "tarvo local: %s\nusage: tarvo %s\n", why.c_str(), kUsage);
  return kExitUsage;
}

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// "WxH" with both sides whole numbers in 1..kMaxSurfaceSide.
bool parseSize(const std::string& s, int& width, int& height) {
  const std::size_t x = s.find('x');
  if (x == std::string::npos) return false;
  const auto side = [](std::string_view part, int& out) {
    const auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), out);
    return ec == std::errc() && ptr == part.data() + part.size() && out >= 1 &&
           out <= kMaxSurfaceSide;
  };
  const std::string_view all(s);
  return side(all.substr(0, x), width) && side(all.substr(x + 1), height);
}

int runLocal(const std::vector<std::string>& args) {
  SessionState state;
  state.displayKind = 2;
  std::vector<std::string> positional;
  const std::string* cityName = nullptr;
  bool typedSite = false;
  double siteLon = 0, siteLat = 0, siteHeight = 0;
  std::string pngPath;
  bool sizeGiven = false;
  int width = kDefaultWidth, height = kDefaultHeight;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::size_t left = args.size() - i - 1;
    double v = 0;
    if (a == "--city") {
      if (left < 1) return usageError("--city needs a name");
      cityName = &args[++i];
    } else if (a == "--site") {
      if (left < 3 || !parseNumber(args[i + 1], siteLon) || !parseNumber(args[i + 2], siteLat) ||
          !parseNumber(args[i + 3], siteHeight) || siteLon < -360 || siteLon > 360 ||
          siteLat < -90 || siteLat > 90 || siteHeight < 0 || siteHeight > 4000) {
        return usageError("--site needs LON -360..360, LAT -90..90 and HEIGHT 0..4000");
      }
      typedSite = true;
      i += 3;
    } else if (a == "--dt-adjust") {
      if (left < 1 || !parseNumber(args[++i], v) || v < -10000 || v > 10000) {
        return usageError("--dt-adjust needs seconds in -10000..10000");
      }
      state.deltaTAdjust = v;
    } else if (a == "--png") {
      if (left < 1 || args[i + 1].empty()) return usageError("--png needs a file name");
      pngPath = args[++i];
    } else if (a == "--size") {
      if (left < 1 || !parseSize(args[++i], width, height)) {
        return usageError("--size needs WxH, each 1.." + std::to_string(kMaxSurfaceSide));
      }
      sizeGiven = true;
    } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.') {
      return usageError("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return usageError("YEAR and MONTH are needed");
  if (!parseNumber(positional[0], state.year)) return usageError("YEAR is not a number");
  if (!parseNumber(positional[1], state.month)) return usageError("MONTH is not a number");
  if ((cityName != nullptr) == typedSite) return usageError("give either --city NAME or --site LON LAT HEIGHT");
  if (sizeGiven && pngPath.empty()) return usageError("--size goes with --png");

  // The city list, read as the first paint reads it; its failure texts go to
  // standard error and the command goes on.
  SiteList sites;
  const SiteLoadResult loaded = loadSites(state, sites);
  for (const ScreenText& t : loaded.errorTexts) std::fprintf(stderr, "%s\n", t.text);

  if (cityName != nullptr) {
    const std::string_view wanted = trimmed(*cityName);
    int found = 0;
    for (int n = 1; n <= sites.count() && found == 0; ++n) {
      if (trimmed(sites.byNumber(n)->name) == wanted) found = n;
    }
    if (found == 0) return usageError("no city named '" + *cityName + "' in " + kSiteFileName);
    const Site& city = *sites.byNumber(found);
    state.siteLongitude = city.longitude;
    state.siteLatitude = city.latitude;
    state.siteHeight = city.height;
    state.displaySiteIndex = found;
    state.siteSource = 0;
  } else {
    state.siteLongitude = siteLon;
    state.siteLatitude = siteLat;
    state.siteHeight = siteHeight;
    state.displaySiteIndex = kTypedSiteIndex;
    state.siteSource = 1;
  }

  CanonReader reader;
  state.pendingAction = kLandAtCursor;
  const LandingOutcome outcome = positionForPaint(state, reader);
  reportDefects(reader);
  if (outcome != LandingOutcome::Shown) return reportOutcome(outcome);

  prepareLocalReport(state);
  SessionState forLines = state;  // the drawing below sets the same outputs again
  for (const ReportLine& line : localReportLines(forLines, sites)) {
    std::printf("y=%d %s\n", line.y, line.text.c_str());
  }
  if (!pngPath.empty()) {
    DrawingSurface surface(width, height);
    surface.clear(colorTable[0]);
    surface.setFont(FontRecipe::Text);
    drawLocalReport(surface, state, sites);
    if (!surface.savePng(pngPath)) {
      std::fprintf(stderr, "tarvo local: cannot write %s\n", pngPath.c_str());
      return kExitPngFailed;
    }
  }
  return kExitShown;
}

const CommandRegistration kLocal{{"local", kUsage, runLocal}};

}  // namespace
}  // namespace tarvo::cli
