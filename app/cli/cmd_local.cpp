// tarvo local YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--next N | --prev N]
//             [criteria] [--dt-adjust S] [--png FILE [--size WxH]] [--sigma]
// Applies the criteria as the Search dialog's OK does, lands on the cursor as
// a repaint does (then N Next or Previous steps) and prints the local circumstances
// report, one `y=<row> <text>` line per report line in drawing order; with
// --png also draws it on a black surface and saves it; with --sigma ends with
// `deltat_sigma S`, the uncertainty of ΔT in seconds, which every time of the
// report shares.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "surface/drawing_surface.h"
#include "session/session_state.h"
#include "session/landing.h"
#include "session/local_display.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "local YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--next N | --prev N] " +
                           criteriaUsage() + " [--dt-adjust SECONDS] [--png FILE [--size WxH]]";
constexpr int kExitPngFailed = 1;

int runLocal(const std::vector<std::string>& args) {
  SessionState state;
  state.displayKind = kDisplayLocalReport;
  SharedOptions options;
  std::string pngPath;
  bool sigma = false;
  OptionParser parser("local", kUsage);
  addSiteOptions(parser, options);
  addDeltaTAdjustOption(parser, options);
  addDeltaTModelOption(parser, options.deltaTModel);
  addSizeOption(parser, options);
  addNextOption(parser, options);
  addPreviousOption(parser, options);
  CriteriaOptions criteria;
  addCriteriaOptions(parser, criteria);
  parser.add({"--png", 1,
              [&pngPath](const std::vector<std::string>& v) {
                if (v[0].empty()) return std::string("--png needs a file name");
                pngPath = v[0];
                return std::string();
              },
              "--png needs a file name"});
  parser.add({"--sigma", 0, [&sigma](const std::vector<std::string>&) {
                sigma = true;
                return std::string();
              }, ""});
  if (!parser.parse(args)) return kExitUsage;
  if (const std::string e = takeYearMonth(parser.positional(), options, true); !e.empty()) {
    return parser.usageError(e);
  }
  if (!options.cityName && !options.typedSite) {
    return parser.usageError("give either --city NAME or --site LON LAT HEIGHT");
  }
  if (options.sizeGiven && pngPath.empty()) return parser.usageError("--size goes with --png");
  if (const std::string why = pngPath.empty() ? std::string() : refusedOutputFile(pngPath); !why.empty()) {
    std::fprintf(stderr, "tarvo local: cannot write %s: %s\n", pngPath.c_str(), why.c_str());
    return kExitPngFailed;
  }
  state.year = options.year;
  state.month = options.month;
  state.deltaTAdjust = options.deltaTAdjust;
  state.deltaTModel = options.deltaTModel;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);

  SiteList sites;
  if (const std::string e = loadSitesAndApply(options, sites, state); !e.empty()) {
    return parser.usageError(e);
  }

  CanonReader reader;
  const SteppedLanding run = landAndStep(state, reader, options);
  reportDefects(reader);
  if (run.outcome != LandingOutcome::Shown) return reportOutcome(run.outcome, reader);

  prepareLocalReport(state);
  SessionState forLines = state;  // the drawing below sets the same outputs again
  for (const ReportLine& line : localReportLines(forLines, sites)) {
    std::printf("y=%d %s\n", line.y, line.text.c_str());
  }
  if (sigma) std::printf("deltat_sigma %.3f\n", state.deltaTSigma);
  if (!pngPath.empty()) {
    DrawingSurface surface(options.width, options.height);
    surface.clear(paletteColour(PaletteIndex::Black));
    surface.setFont(FontRecipe::Text);
    drawLocalReport(surface, state, sites);
    if (const FileWrite saved = surface.savePng(pngPath); !saved.written()) {
      std::fprintf(stderr, "tarvo local: cannot write %s: %s\n", pngPath.c_str(), saved.error.c_str());
      return kExitPngFailed;
    }
  }
  return run.previousMissedAFile ? kExitNoCatalogue : kExitShown;
}

const CommandRegistration kLocal{{"local", kUsage.c_str(), runLocal}};

}  // namespace
}  // namespace tarvo::cli
