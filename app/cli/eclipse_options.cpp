#include "app/cli/eclipse_options.h"

namespace tarvo::cli {

namespace {
const char* const kSiteNeeded = "give either --city NAME or --site LON LAT HEIGHT";
}  // namespace

void addEclipseOptions(OptionParser& parser, EclipseOptions& options) {
  const EclipseOptionSet& set = options.set;
  SharedOptions& shared = options.shared;
  if (set.cursor == Need::Required) parser.addPositional("YEAR MONTH", kYearMonthHelp);
  if (set.cursor == Need::Optional) parser.addPositional("[YEAR MONTH]", kYearMonthHelp);
  if (set.site == Need::Required) parser.addEither({cityOption(shared), siteOption(shared)}, true);
  if (set.steps == Steps::NextOnly) parser.add(nextOption(shared));
  if (set.steps == Steps::NextOrPrevious) parser.addEither({nextOption(shared), previousOption(shared)}, false);
  if (set.criteria) addCriteriaOptions(parser, options.criteria);
  if (set.site == Need::Optional) parser.addEither({cityOption(shared), siteOption(shared)}, false);
  parser.add(deltaTAdjustOption(shared));
  parser.add(deltaTModelOption(shared.deltaT.model));
}

std::string checkEclipseOptions(const std::vector<std::string>& positional, EclipseOptions& options) {
  if (options.set.cursor != Need::No) {
    const std::string e = takeYearMonth(positional, options.shared, options.set.cursor == Need::Required);
    if (!e.empty()) return e;
  }
  if (options.set.site == Need::Required && !options.shared.cityName && !options.shared.typedSite) {
    return kSiteNeeded;
  }
  return {};
}

void applyCursorAndDeltaT(const SharedOptions& options, SessionState& state) {
  if (options.cursorGiven) {
    state.year = options.year;
    state.month = options.month;
  }
  state.deltaTChoice = options.deltaT;
}

}  // namespace tarvo::cli
