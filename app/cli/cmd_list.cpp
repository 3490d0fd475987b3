// tarvo list START PERIOD [criteria]
// The eclipse list's Search: the eclipses of years START..START+PERIOD that
// meet the criteria (at most 100), under the list's header, as the list shows
// them after a search. A Saros search (--saros S) lists series S.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "core/session_state.h"
#include "session/search.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "list START PERIOD " + criteriaUsage() +
                           " [--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]";

int runList(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  CriteriaOptions criteria;
  OptionParser parser("list", kUsage);
  addCriteriaOptions(parser, criteria);
  addSiteOptions(parser, options);
  addDeltaTAdjustOption(parser, options);
  if (!parser.parse(args)) return kExitUsage;
  const std::vector<std::string>& positional = parser.positional();
  if (positional.size() != 2) return parser.usageError("START and PERIOD are needed");
  // The list dialog's ranges.
  double start = 0, period = 0;
  if (!parseNumber(positional[0], start) || !limits::kListStartYear.contains(start)) {
    return parser.usageError("START must be a year " + rangeText(limits::kListStartYear));
  }
  if (!parseNumber(positional[1], period) || !limits::kListPeriodYears.contains(period)) {
    return parser.usageError("PERIOD must be " + rangeText(limits::kListPeriodYears) + " years");
  }
  state.deltaTAdjust = options.deltaTAdjust;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);
  // The dialog lists the series of the eclipse shown; here, the series asked for.
  if (state.searchType == kSearchBySaros) state.saros = state.sarosCriterion;

  CanonReader reader;
  const ListSearchResult found = listSearchCommand(state, reader, start, period);
  reportDefects(reader);
  // Without the start year's file there is no list, not even its header.
  if (found.end != SearchEnd::StartFileMissing) {
    for (const std::string& line : eclipseListLines(state, true)) std::printf("%s\n", line.c_str());
  }
  if (found.errorTexts.empty()) return kExitShown;
  std::fflush(stdout);
  for (const ScreenText& t : found.errorTexts) std::fprintf(stderr, "%s\n", t.text);
  return kExitNoCatalogue;
}

const CommandRegistration kList{{"list", kUsage.c_str(), runList}};

}  // namespace
}  // namespace tarvo::cli
