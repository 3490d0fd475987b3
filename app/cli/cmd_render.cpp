// tarvo render --out FILE.png [YEAR MONTH] [--next N | --prev N] [criteria] ...
// --cia checks "CIA MAP": the map's outline is the five coastline files.
// Runs the view's paint on a surface of the client size, as the window does:
// the first paint lands on YEAR MONTH (or the clock's month without them),
// the criteria are set as the Search dialog's OK sets them after that first
// landing's cursor; each Next eclipse step is one more paint, each Previous
// eclipse step the backward search and one more paint; then writes the picture. The
// failure pictures (no catalogue, end of the catalogue) are written too, and
// the exit status is that of `tarvo show`.
#include <cmath>
#include <cstdio>
#include <new>
#include <functional>
#include <string>
#include <vector>

#include "app/time_zones.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/cli_args.h"
#include "app/cli/eclipse_options.h"
#include "app/cli/shared_options.h"
#include "base/text_format.h"
#include "catalogue/canon_reader.h"
#include "surface/drawing_surface.h"
#include "session/session_state.h"
#include "session/paint.h"
#include "session/horizon_command.h"
#include "session/simulation_command.h"
#include "session/site_glue.h"
#include "session/search.h"
#include "session/sky_command.h"

namespace tarvo::cli {
namespace {

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
      // The Horizon display over the map's paint, on the site's clock.
      {"horizon", kDisplayWorldMap,
       [](SessionState& s, DrawingSurface& d) { drawHorizonChartCommand(s, d, &systemZoneDatabase()); }},
  };
  return choices;
}

// The render command's options.
struct RenderOptions {
  EclipseOptions eclipse{.set = {.cursor = Need::Optional, .site = Need::Optional}};
  std::string outPath;
  const DisplayChoice* display = &displayChoices().front();
  bool grid = false;
  bool cia = false;
  bool deltaTBands = false;  // --dt-bands
};

OptionParser renderParser(RenderOptions& out) {
  OptionParser parser("render",
                      "Runs the view's paint on a surface of the client size as the window does (the first paint "
                      "lands on the month, or the computer's current month) and writes the picture as PNG.");
  parser.addRequired(outputFileOption("--out", "FILE.png", "the PNG file to write", out.outPath));
  addEclipseOptions(parser, out.eclipse);
  parser.add(timeZoneOption(out.eclipse.shared));
  parser.add(sizeOption(out.eclipse.shared));
  parser.add(scaleOption(out.eclipse.shared));
  std::string names;
  std::vector<std::string> words;
  for (const DisplayChoice& c : displayChoices()) {
    names += names.empty() ? c.name : std::string("|") + c.name;
    words.emplace_back(c.name);
  }
  parser.add({.name = "--display",
              .argument = names,
              .help = "the world map with the panel (the default), the local report, the sky chart, the "
                      "simulation's last frame or the horizon chart",
              .apply = [&out, names](const std::vector<std::string>& v) {
                for (const DisplayChoice& c : displayChoices()) {
                  if (v[0] == c.name) {
                    out.display = &c;
                    return std::string();
                  }
                }
                return "--display needs " + names;
              },
              .valueError = "--display needs a display",
              .completion = ValueCompletion::Words,
              .words = words});
  parser.add(flagOption("--grid", "draw the longitude/latitude grid", out.grid));
  parser.add(flagOption("--cia", "check CIA MAP: the outline from the five coastline files", out.cia));
  parser.add(flagOption("--dt-bands", "also draw the zone boundaries at Delta T - sigma and + sigma, dotted",
                        out.deltaTBands));
  return parser;
}

// The session before the first paint, as the window stands when the options'
// dialogs have been used: the display, the cursor (or the clock's month), the
// criteria and the site. Returns a usage error, empty when there is none.
std::string prepareSession(const RenderOptions& options, SessionState& state) {
  applyCursorAndDeltaT(options.eclipse.shared, state);
  state.displayKind = options.display->displayKind;
  state.gridMode = options.grid ? kGridShown : kGridHidden;
  state.outlineChoice = options.cia ? kOutlineCoastlineFiles : kOutlineBuiltIn;
  state.deltaTBandsShown = options.deltaTBands;
  if (options.eclipse.shared.cursorGiven) {
    state.pendingAction = kLandAtCursor;
  } else if (options.eclipse.criteria.given()) {
    // The Search dialog is opened on the first paint's cursor, the clock's month.
    const ClockMonth now = localClockMonth();
    state.year = now.year;
    state.month = now.month;
    state.pendingAction = kLandAtCursor;
  } else {
    state.pendingAction = kLandAtClock;
  }
  if (std::string e = applyCriteria(options.eclipse.criteria, state); !e.empty()) return e;
  // The city list is read before the first paint. A site chosen on the
  // command line says what the reading found on standard error at once;
  // otherwise the first paint shows its texts when it is missing.
  if (options.eclipse.shared.cityName || options.eclipse.shared.typedSite) {
    std::string e = loadSitesAndApply(options.eclipse.shared, state.sites, state);
    state.cityListTidings.told = true;
    return e;
  }
  readSessionCityList(state, siteFile());
  return {};
}

// The paints: the first, one per Next step, the backward search and a paint
// per Previous step, then the display's own drawing; writes the picture.
// Returns the exit status.
int paintAndSave(const RenderOptions& options, SessionState& state) {
  CanonReader reader;
  DrawingSurface surface(options.eclipse.shared.width, options.eclipse.shared.height, options.eclipse.shared.scale);
  PaintHooks hooks;
  hooks.zones = &systemZoneDatabase();
  PaintResult painted = paintView(state, reader, surface, hooks);
  printSiteListNotice(painted.siteListNotice, painted.siteListUnreadable);
  for (double step = 0; step < options.eclipse.shared.nextSteps && painted.outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;  // the Next eclipse command
    painted = paintView(state, reader, surface, hooks);
  }
  bool previousMissedAFile = false;
  for (double step = 0; step < options.eclipse.shared.prevSteps && previousStepsFrom(painted.outcome); ++step) {
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
  OptionParser parser = renderParser(options);
  if (const auto stop = parser.parse(args)) return *stop;
  if (options.outPath.empty()) return parser.usageError("--out FILE.png is needed");
  if (const std::string e = checkEclipseOptions(parser.positional(), options.eclipse); !e.empty()) {
    return parser.usageError(e);
  }
  if (const SharedOptions& o = options.eclipse.shared; o.timeZone && !o.cityName && !o.typedSite) {
    return parser.usageError("--tz needs --city NAME or --site LON LAT HEIGHT");
  }
  if (const std::string e = pictureSizeError(options.eclipse.shared); !e.empty()) return parser.usageError(e);
  if (const std::string why = refusedOutputFile(options.outPath); !why.empty()) {
    std::fprintf(stderr, "tarvo render: cannot write %s: %s\n", options.outPath.c_str(), why.c_str());
    return kExitPngFailed;
  }
  SessionState state;
  if (const std::string e = prepareSession(options, state); !e.empty()) return parser.usageError(e);
  // A picture too large for the memory there is: said, never a crash.
  try {
    return paintAndSave(options, state);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tarvo render: not enough memory for a %s picture\n",
                 pictureSizeText(options.eclipse.shared).c_str());
    return kExitOutOfMemory;
  }
}

const CommandRegistration kRender{{"render", [] {
                                     RenderOptions options;
                                     return renderParser(options).syntax();
                                   },
                                   runRender}};

}  // namespace
}  // namespace tarvo::cli
