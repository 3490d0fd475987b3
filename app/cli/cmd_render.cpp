// tarvo render --out FILE.png [YEAR MONTH] [--next N | --prev N] [criteria] [--size WxH]
//              [--display map|local|sky|sim] [--grid] [--cia] [--city NAME | --site LON LAT HEIGHT]
//              [--dt-adjust S]
// --cia checks "CIA MAP": the map's outline is the five coastline files.
// Runs the view's paint on a surface of the client size, as the window does:
// the first paint lands on YEAR MONTH (or the clock's month without them),
// the criteria are set as the Search dialog's OK sets them after that first
// landing's cursor; each Next eclipse step is one more paint, each Previous
// eclipse step the backward search and one more paint; then writes the picture. The
// failure pictures (no catalogue, end of the catalogue) are written too, and
// the exit status is that of `tarvo show`.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "core/drawing_surface.h"
#include "core/session_state.h"
#include "session/paint.h"
#include "session/simulation_command.h"
#include "session/search.h"
#include "session/sky_command.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = std::string("render --out FILE.png [YEAR MONTH] [--next N | --prev N] ") +
                           kCriteriaUsage +
                           " [--size WxH] [--display map|local|sky|sim] [--grid] [--cia] "
                           "[--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]";
constexpr int kExitPngFailed = 1;

// What --display chooses: the display the paint draws, and what is drawn
// over it afterwards as its command would (nothing for the paint's own
// displays). Further displays add a row.
struct DisplayChoice {
  const char* name;
  int displayKind;  // 0 world map, 2 local report
  std::function<void(SessionState&, DrawingSurface&)> drawAfterPaint;
};

const std::vector<DisplayChoice>& displayChoices() {
  static const std::vector<DisplayChoice> choices = {
      {"map", 0, nullptr},
      {"local", 2, nullptr},
      {"sky", 0, drawSkyChartCommand},   // the StarMap command over the map's paint
      {"sim", 0, drawSimulationFinal},   // the Simulation command's last frame
  };
  return choices;
}

int runRender(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  std::string outPath;
  const DisplayChoice* display = &displayChoices().front();
  bool grid = false;
  OptionParser parser("render", kUsage);
  addNextOption(parser, options);
  addPreviousOption(parser, options);
  CriteriaOptions criteria;
  addCriteriaOptions(parser, criteria);
  addDeltaTAdjustOption(parser, options);
  addSiteOptions(parser, options);
  addSizeOption(parser, options);
  parser.add({"--out", 1,
              [&outPath](const std::vector<std::string>& v) {
                if (v[0].empty()) return std::string("--out needs a file name");
                outPath = v[0];
                return std::string();
              },
              "--out needs a file name"});
  parser.add({"--display", 1,
              [&display](const std::vector<std::string>& v) {
                std::string names;
                for (const DisplayChoice& c : displayChoices()) {
                  if (v[0] == c.name) {
                    display = &c;
                    return std::string();
                  }
                  names += names.empty() ? c.name : std::string("|") + c.name;
                }
                return "--display needs " + names;
              },
              "--display needs a display"});
  parser.add({"--grid", 0,
              [&grid](const std::vector<std::string>&) {
                grid = true;
                return std::string();
              },
              ""});
  bool cia = false;
  parser.add({"--cia", 0,
              [&cia](const std::vector<std::string>&) {
                cia = true;
                return std::string();
              },
              ""});
  if (!parser.parse(args)) return kExitUsage;
  if (outPath.empty()) return parser.usageError("--out FILE.png is needed");
  if (const std::string e = takeYearMonth(parser.positional(), options, false); !e.empty()) {
    return parser.usageError(e);
  }

  state.deltaTAdjust = options.deltaTAdjust;
  state.displayKind = display->displayKind;
  state.gridMode = grid ? 0 : 4;
  state.outlineChoice = cia ? 2 : 1;
  if (options.cursorGiven) {
    state.year = options.year;
    state.month = options.month;
    state.pendingAction = kLandAtCursor;
  } else if (criteria.given()) {
    // The Search dialog is opened on the first paint's cursor, the clock's month.
    const ClockMonth now = localClockMonth();
    state.year = now.year;
    state.month = now.month;
    state.pendingAction = kLandAtCursor;
  } else {
    state.pendingAction = kLandAtClock;
  }
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  // A site chosen on the command line needs the city list first; otherwise
  // the first paint reads it (and shows its texts when it is missing).
  if (options.cityName || options.typedSite) {
    state.sitesLoaded = 1;
    if (const std::string e = loadSitesAndApply(options, state.sites, state); !e.empty()) {
      return parser.usageError(e);
    }
  }

  CanonReader reader;
  DrawingSurface surface(options.width, options.height);
  PaintResult painted = paintView(state, reader, surface);
  for (double step = 0; step < options.nextSteps && painted.outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;  // the Next eclipse command
    painted = paintView(state, reader, surface);
  }
  bool previousMissedAFile = false;
  for (double step = 0; step < options.prevSteps && painted.outcome == LandingOutcome::Shown; ++step) {
    // The Previous eclipse command: its texts would be painted over at once.
    const SearchEnd end = runPreviousSearch(state, reader).end;
    if (end == SearchEnd::NothingEarlier) {
      painted.outcome = LandingOutcome::NoEarlierEclipse;
      drawLandingFailure(surface, painted.outcome);
      break;
    }
    if (end == SearchEnd::NextFileMissing) {
      for (const ScreenText& t : kSearchNoFileTexts) std::fprintf(stderr, "%s\n", t.text);
      previousMissedAFile = true;
    }
    painted = paintView(state, reader, surface);
  }
  if (painted.outcome == LandingOutcome::Shown && display->drawAfterPaint) {
    display->drawAfterPaint(state, surface);
  }
  reportDefects(reader);
  if (!surface.savePng(outPath)) {
    std::fprintf(stderr, "tarvo render: cannot write %s\n", outPath.c_str());
    return kExitPngFailed;
  }
  if (painted.outcome == LandingOutcome::Shown && previousMissedAFile) return kExitNoCatalogue;
  return reportOutcome(painted.outcome);
}

const CommandRegistration kRender{{"render", kUsage.c_str(), runRender}};

}  // namespace
}  // namespace tarvo::cli
