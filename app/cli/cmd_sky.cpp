// tarvo sky YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--next N] ...
// Lands on the cursor as a repaint does (then steps N eclipses on) and prints
// the sky chart's objects at greatest eclipse above the site, one line each
// in chart order (Moon, Sun, the planets, the stars):
// `drawn azimuth altitude magnitude name`, drawn 1 when the chart draws the
// object, the azimuth from the north through the east and the altitude in
// degrees, the name as the object table spells it ("-" for an unnamed star).
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/eclipse_options.h"
#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "session/session_state.h"
#include "session/current_eclipse.h"
#include "session/landing.h"
#include "session/sky_command.h"
#include "sky/sky_chart.h"
#include "sky/sky_places.h"

namespace tarvo::cli {
namespace {

OptionParser skyParser(EclipseOptions& a) {
  a.set = {.cursor = Need::Required, .site = Need::Required, .steps = Steps::NextOnly, .criteria = false};
  OptionParser parser("sky",
                      "Prints the sky chart's objects at greatest eclipse above the site, one line each in chart "
                      "order: drawn azimuth altitude magnitude name.");
  addEclipseOptions(parser, a);
  return parser;
}

int runSky(const std::vector<std::string>& args) {
  EclipseOptions a;
  OptionParser parser = skyParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const SharedOptions& options = a.shared;
  if (const std::string e = checkEclipseOptions(parser.positional(), a); !e.empty()) return parser.usageError(e);
  SessionState state;
  applyCursorAndDeltaT(options, state);

  SiteList sites;
  if (const std::string e = loadSitesAndApply(options, sites, state); !e.empty()) {
    return parser.usageError(e);
  }

  CanonReader reader;
  state.pendingAction = kLandAtCursor;
  LandingOutcome outcome = positionForPaint(state, reader);
  for (double step = 0; step < options.nextSteps && outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;
    outcome = positionForPaint(state, reader);
  }
  reportDefects(reader);
  if (outcome != LandingOutcome::Shown) return reportOutcome(outcome, reader);

  // Greatest eclipse as the paint finds it, then the chart's own inputs.
  updateCurrentEclipse(state);
  const SkyChartRequest request = prepareSkyChart(state);
  for (const SkyPlace& place : skyChartPlacesFor(request)) {
    std::printf("%s\n", skyPlaceListLine(place).c_str());
  }
  return kExitShown;
}

const CommandRegistration kSky{{"sky", [] {
                                  EclipseOptions a;
                                  return skyParser(a).syntax();
                                },
                                runSky}};

}  // namespace
}  // namespace tarvo::cli
