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
#include "surface/drawing_surface.h"
#include "session/session_state.h"
#include "session/paint.h"
#include "session/simulation_command.h"
#include "session/search.h"
#include "session/sky_command.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "render --out FILE.png [YEAR MONTH] [--next N | --prev N] " + criteriaUsage() +
                           " [--size WxH] [--display map|local|sky|sim] [--grid] [--cia] "
                           "[--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]";
constexpr int kExitPngFailed = 1;

// What --display chooses: the display the paint draws, and what is drawn
// over it afterwards as its command would (nothing for the paint's own
// displays). Further displays add a row.
struct DisplayChoice {
  const char* name;
  DisplayKind displayKind;
  std::function<void(SessionState&, DrawingSurface&)> drawAfterPaint;
};

const std::vector<DisplayChoice>& displayChoices() {
  static const std::vector<DisplayChoice> choices = {
      {"map", kDisplayWorldMap, nullptr},
      {"local", kDisplayLocalReport, nullptr},
      {"sky", kDisplayWorldMap, drawSkyChartCommand},  // the StarMap command over the map's paint
      {"sim", kDisplayWorldMap, drawSimulationFinal},  // the Simulation command's last frame
  };
  return choices;
}

// The render command's options.
struct RenderOptions {
  SharedOptions shared;
  CriteriaOptions criteria;
  std::string outPath;
  const DisplayChoice* display = &displayChoices().front();
  bool grid = false;
  bool cia = false;
  bool deltaTBands = false;  // --dt-bands
};

// Registers render's options on the parser, writing into `out`.
void addRenderOptions(OptionParser& parser, RenderOptions& out) {
  addNextOption(parser, out.shared);
  addPreviousOption(parser, out.shared);
  addCriteriaOptions(parser, out.criteria);
  addDeltaTAdjustOption(parser, out.shared);
  addDeltaTModelOption(parser, out.shared.deltaTModel);
  addSiteOptions(parser, out.shared);
  addSizeOption(parser, out.shared);
  parser.add({"--out", 1,
              [&out](const std::vector<std::string>& v) {
                if (v[0].empty()) return std::string("--out needs a file name");
                out.outPath = v[0];
                return std::string();
              },
              "--out needs a file name"});
  parser.add({"--display", 1,
              [&out](const std::vector<std::string>& v) {
                std::string names;
                for (const DisplayChoice& c : displayChoices()) {
                  if (v[0] == c.name) {
                    out.display = &c;
                    return std::string();
                  }
                  names += names.empty() ? c.name : std::string("|") + c.name;
                }
                return "--display needs " + names;
              },
              "--display needs a display"});
  parser.add({"--grid", 0,
              [&out](const std::vector<std::string>&) {
                out.grid = true;
                return std::string();
              },
              ""});
  parser.add({"--dt-bands", 0,
              [&out](const std::vector<std::string>&) {
                out.deltaTBands = true;
                return std::string();
              },
              ""});
  parser.add({"--cia", 0,
              [&out](const std::vector<std::string>&) {
                out.cia = true;
                return std::string();
              },
              ""});
}

// The session before the first paint, as the window stands when the options'
// dialogs have been used: the display, the cursor (or the clock's month), the
// criteria and the site. Returns a usage error, empty when there is none.
std::string prepareSession(const RenderOptions& options, SessionState& state) {
  state.deltaTAdjust = options.shared.deltaTAdjust;
  state.deltaTModel = options.shared.deltaTModel;
  state.displayKind = options.display->displayKind;
  state.gridMode = options.grid ? kGridShown : kGridHidden;
  state.outlineChoice = options.cia ? kOutlineCoastlineFiles : kOutlineBuiltIn;
  state.deltaTBandsShown = options.deltaTBands;
  if (options.shared.cursorGiven) {
    state.year = options.shared.year;
    state.month = options.shared.month;
    state.pendingAction = kLandAtCursor;
  } else if (options.criteria.given()) {
    // The Search dialog is opened on the first paint's cursor, the clock's month.
    const ClockMonth now = localClockMonth();
    state.year = now.year;
    state.month = now.month;
    state.pendingAction = kLandAtCursor;
  } else {
    state.pendingAction = kLandAtClock;
  }
  if (std::string e = applyCriteria(options.criteria, state); !e.empty()) return e;
  // A site chosen on the command line needs the city list first; otherwise
  // the first paint reads it (and shows its texts when it is missing).
  if (options.shared.cityName || options.shared.typedSite) {
    state.sitesLoaded = 1;
    return loadSitesAndApply(options.shared, state.sites, state);
  }
  return {};
}

// The paints: the first, one per Next step, the backward search and a paint
// per Previous step, then the display's own drawing; writes the picture.
// Returns the exit status.
int paintAndSave(const RenderOptions& options, SessionState& state) {
  CanonReader reader;
  DrawingSurface surface(options.shared.width, options.shared.height);
  PaintHooks hooks;
  hooks.dataDirectory = std::filesystem::path(siteFile()).parent_path();
  PaintResult painted = paintView(state, reader, surface, hooks);
  printSiteListNotice(painted.siteListNotice, painted.siteListUnreadable);
  for (double step = 0; step < options.shared.nextSteps && painted.outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;  // the Next eclipse command
    painted = paintView(state, reader, surface, hooks);
  }
  bool previousMissedAFile = false;
  for (double step = 0; step < options.shared.prevSteps && painted.outcome == LandingOutcome::Shown; ++step) {
    // The Previous eclipse command: its texts would be painted over at once.
    const SearchEnd end = runPreviousSearch(state, reader).end;
    if (end == SearchEnd::NothingEarlier) {
      painted.outcome = LandingOutcome::NoEarlierEclipse;
      drawLandingFailure(surface, painted.outcome);
      break;
    }
    if (end == SearchEnd::NextFileMissing) {
      printSearchNoFileTexts(reader);
      previousMissedAFile = true;
    }
    painted = paintView(state, reader, surface, hooks);
  }
  if (painted.outcome == LandingOutcome::Shown && options.display->drawAfterPaint) {
    options.display->drawAfterPaint(state, surface);
  }
  reportDefects(reader);
  if (!painted.outlineNotice.empty()) std::fprintf(stderr, "tarvo render: %s\n", painted.outlineNotice.c_str());
  if (const FileWrite saved = surface.savePng(options.outPath); !saved.written()) {
    std::fprintf(stderr, "tarvo render: cannot write %s: %s\n", options.outPath.c_str(), saved.error.c_str());
    return kExitPngFailed;
  }
  if (painted.outcome == LandingOutcome::Shown && previousMissedAFile) return kExitNoCatalogue;
  return reportOutcome(painted.outcome, reader);
}

int runRender(const std::vector<std::string>& args) {
  RenderOptions options;
  OptionParser parser("render", kUsage);
  addRenderOptions(parser, options);
  if (!parser.parse(args)) return kExitUsage;
  if (options.outPath.empty()) return parser.usageError("--out FILE.png is needed");
  if (const std::string e = takeYearMonth(parser.positional(), options.shared, false); !e.empty()) {
    return parser.usageError(e);
  }
  if (const std::string why = refusedOutputFile(options.outPath); !why.empty()) {
    std::fprintf(stderr, "tarvo render: cannot write %s: %s\n", options.outPath.c_str(), why.c_str());
    return kExitPngFailed;
  }
  SessionState state;
  if (const std::string e = prepareSession(options, state); !e.empty()) return parser.usageError(e);
  return paintAndSave(options, state);
}

const CommandRegistration kRender{{"render", kUsage.c_str(), runRender}};

}  // namespace
}  // namespace tarvo::cli
