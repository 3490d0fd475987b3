// tarvo sky YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--next N]
//           [--dt-adjust S]
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
#include "app/cli/shared_options.h"
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

constexpr const char* kUsage =
    "sky YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [--next N] [--dt-adjust SECONDS]";

int runSky(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  OptionParser parser("sky", kUsage);
  addSiteOptions(parser, options);
  addNextOption(parser, options);
  addDeltaTAdjustOption(parser, options);
  addDeltaTModelOption(parser, options.deltaTModel);
  if (!parser.parse(args)) return kExitUsage;
  if (const std::string e = takeYearMonth(parser.positional(), options, true); !e.empty()) {
    return parser.usageError(e);
  }
  if (!options.cityName && !options.typedSite) {
    return parser.usageError("give either --city NAME or --site LON LAT HEIGHT");
  }
  state.year = options.year;
  state.month = options.month;
  state.deltaTAdjust = options.deltaTAdjust;
  state.deltaTModel = options.deltaTModel;

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
  if (!request.planetFileNotice.empty())
    std::fprintf(stderr, "tarvo sky: %s; the planets from their theories\n", request.planetFileNotice.c_str());
  for (const SkyPlace& place : skyChartPlacesFor(request)) {
    std::printf("%s\n", skyPlaceListLine(place).c_str());
  }
  return kExitShown;
}

const CommandRegistration kSky{{"sky", kUsage, runSky}};

}  // namespace
}  // namespace tarvo::cli
