// tarvo next (--city NAME | --site LON LAT HEIGHT) [YEAR MONTH] ...
// The first eclipse at or after the month (default: the computer's current
// month) that meets the criteria and whose partial phase (or the phase of
// --min-phase) is seen from the site: in words on the site's clock, as the
// `key value` lines of `tarvo show` followed by its visibility (keys), or as
// the words' values in JSON.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/eclipse_options.h"
#include "app/cli/show_keys.h"
#include "catalogue/canon_reader.h"
#include "base/input_limits.h"
#include "base/text_format.h"
#include "circumstances/observer_answer.h"
#include "session/session_state.h"
#include "export/eclipse_export.h"
#include "session/current_eclipse.h"
#include "session/landing.h"
#include "session/observer_words.h"
#include "session/search.h"
#include "session/site_glue.h"
#include "session/visibility_list.h"
#include "timebase/time_scales.h"

namespace tarvo::cli {
namespace {

void printAltitude(const char* key, const std::optional<double>& deg) {
  if (deg) {
    const double v = std::round(*deg * 100) / 100;
    std::printf("%s %.2f\n", key, v == 0 ? 0.0 : v);
  } else {
    std::printf("%s none\n", key);
  }
}

void printVisibility(const ExportEclipse& x, double longitudeDeg) {
  const Visibility& v = *x.visibility;
  std::printf("class %s\n", visibilityClassName(v.visibilityClass));
  std::printf("uncertain %d\n", v.uncertain ? 1 : 0);
  std::printf("faint %d\n", v.faint ? 1 : 0);
  const double zone = standardZoneOffsetHours(longitudeDeg) + 0.0;  // -0 (a western site at zero) is +0
  const std::string local = isoDateTime(x.greatestJd, zone);
  const std::size_t split = local.find('T');
  std::printf("local_date %s\n", local.substr(0, split).c_str());
  std::printf("local_time %s\n", local.substr(split + 1).c_str());
  std::printf("zone_hours %+.0f\n", zone);
  for (std::size_t i = 0; i < kContactNames.size(); ++i) {
    printAltitude((std::string("alt_") + kContactNames[i].key).c_str(), v.contactAltitudeDeg[i]);
  }
  printAltitude("alt_greatest", v.greatestAltitudeDeg);
  printAltitude("sun_alt_greatest", v.sunAltitudeDeg);
}

enum class NextFormat { Words, Keys, Json };

struct NextArgs {
  EclipseOptions eclipse{.set = {.cursor = Need::Optional, .site = Need::Required, .steps = Steps::None}};
  double minAltitude = limits::kMinAltitudeDeg.lo;
  std::optional<EclipsePhase> minPhase;
  NextFormat format = NextFormat::Words;
};

OptionParser nextParser(NextArgs& a) {
  OptionParser parser("next",
                      "Says in words, on the site's clock, the first eclipse at or after the month (default: the "
                      "computer's current month) that meets the criteria and whose partial phase is seen from the "
                      "site.");
  addEclipseOptions(parser, a.eclipse);
  const std::string error = "--min-altitude must be " + rangeText(limits::kMinAltitudeDeg) + " degrees";
  parser.add({.name = "--min-altitude",
              .argument = "DEG",
              .help = "the Moon at least DEG degrees up at greatest eclipse (" + rangeText(limits::kMinAltitudeDeg) + ")",
              .apply = [&a, error](const std::vector<std::string>& v) {
                if (!parseNumber(v[0], a.minAltitude) || !limits::kMinAltitudeDeg.contains(a.minAltitude)) return error;
                return std::string();
              },
              .valueError = "--min-altitude needs a number"});
  parser.add(minPhaseOption(a.minPhase));
  parser.add(timeZoneOption(a.eclipse.shared));
  static const std::vector<std::string> kFormats = {"words", "keys", "json"};
  parser.add({.name = "--format",
              .argument = "words|keys|json",
              .help = "sentences (the default), the key lines of show and the visibility, or the sentences' values "
                      "as JSON",
              .apply = [&a](const std::vector<std::string>& v) {
                for (std::size_t i = 0; i < kFormats.size(); ++i) {
                  if (v[0] == kFormats[i]) {
                    a.format = static_cast<NextFormat>(i);
                    return std::string();
                  }
                }
                return std::string("--format must be words, keys or json");
              },
              .valueError = "--format needs words, keys or json",
              .completion = ValueCompletion::Words,
              .words = kFormats});
  return parser;
}

int runNext(const std::vector<std::string>& args) {
  NextArgs a;
  OptionParser parser = nextParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const SharedOptions& options = a.eclipse.shared;
  const double minAltitude = a.minAltitude;
  if (const std::string e = checkEclipseOptions(parser.positional(), a.eclipse); !e.empty()) {
    return parser.usageError(e);
  }
  SessionState state;
  if (!options.cursorGiven) {
    const ClockMonth now = localClockMonth();
    state.year = now.year;
    state.month = now.month;
  }
  applyCursorAndDeltaT(options, state);
  if (const std::string e = applyCriteria(a.eclipse.criteria, state); !e.empty()) return parser.usageError(e);
  SiteList sites;
  if (const std::string e = loadSitesAndApply(options, sites, state); !e.empty()) return parser.usageError(e);

  const SiteValues site = prepareSite(state);
  CanonReader reader;
  const NextVisible found = nextVisibleEclipse(reader, searchCriteriaOf(state, state.sarosCriterion), state.year,
                                               state.month, site, minAltitude, -1e300,
                                               a.minPhase.value_or(kDefaultMinPhase));
  reportDefects(reader);
  if (!found.found) {
    if (found.end == SearchEnd::EndOfCatalogue) {
      std::fprintf(stderr, "tarvo next: no eclipse seen from the site before the end of the catalogue\n");
      return kExitEndOfCatalogue;
    }
    for (const ScreenText& t : kSearchNoFileTexts) std::fprintf(stderr, "%s\n", t.text);
    return kExitNoCatalogue;
  }
  if (a.format == NextFormat::Keys) {
    SessionState shown = state;
    takeCurrentEclipse(shown, *found.record);
    shown.greatestGuessHours = 0;
    printShownEclipse(shown);
    printVisibility(*found.found, site.longitudeDeg);
    return kExitShown;
  }
  const SiteClock clock = siteClockOf(options, sites, state);
  const ExportEclipse& x = *found.found;
  const ObserverAnswer answer = observerAnswer(x.type, x.penumbralMagnitude, x.umbralMagnitude, *x.visibility,
                                               sitePlaceName(state.site, sites), clock.zone, x.deltaTSigmaSeconds,
                                               *clock.zones);
  const std::string words = answerWords(answer);
  const std::string text = a.format == NextFormat::Json ? exportAnswerJson(answer, x, words) : words + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kExitShown;
}

const CommandRegistration kNext{{"next", [] {
                                   NextArgs a;
                                   return nextParser(a).syntax();
                                 },
                                 runNext}};

}  // namespace
}  // namespace tarvo::cli
