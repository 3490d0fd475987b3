#include "app/cli/criteria_options.h"

#include "app/cli/cli_landing.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "app/cli/cli_args.h"
#include "session/search.h"
#include "session/site_glue.h"

namespace tarvo::cli {

namespace {

// An option with one number in the range (whole with `integer`); usage
// writes the range as its argument.
OptionRule numberOption(const char* name, InputRange range, bool integer, std::string help,
                        std::function<void(double)> store) {
  const std::string error =
      formatString("%s needs %s ", name, integer ? "an integer" : "a number") + rangeText(range);
  return {.name = name,
          .argument = rangeText(range),
          .help = std::move(help),
          .apply = [=](const std::vector<std::string>& v) {
            double value = 0;
            if (!parseNumber(v[0], value) || !range.contains(value) || (integer && value != std::trunc(value))) {
              return error;
            }
            store(value);
            return std::string();
          },
          .valueError = error};
}

}  // namespace

void addCriteriaOptions(OptionParser& parser, CriteriaOptions& out) {
  parser.addEither(
      {numberOption("--type", limits::kTypeCode, true,
                    "search by type: 1 total, 2 partial, 3 penumbral (4..6 match nothing)",
                    [&out](double v) { out.typeCode = static_cast<int>(v); }),
       numberOption("--mag", limits::kMagnitude, false,
                    "search by site: umbral magnitude above this with the Moon above -15 degrees at the site",
                    [&out](double v) { out.magnitude = v; }),
       numberOption("--saros", limits::kSaros, true, "search by Saros series",
                    [&out](double v) { out.saros = v; })},
      false);
  parser.add(numberOption("--lookback", limits::kLookBackYears, false,
                          "years Previous looks back in a type or site search",
                          [&out](double v) { out.lookBackYears = v; }));
  parser.add(numberOption("--search-type", limits::kSearchType, true,
                          "the search type itself: 0 all, 1 type, 2 site, 3 Saros",
                          [&out](double v) { out.searchType = static_cast<int>(v); }));
}

namespace {

std::optional<int> criteriaSearchType(const CriteriaOptions& o, std::string& error) {
  int type = kSearchAll;
  if (o.searchType) {
    type = *o.searchType;
  } else {
    const int criteria = (o.typeCode ? 1 : 0) + (o.magnitude ? 1 : 0) + (o.saros ? 1 : 0);
    if (criteria > 1) {
      error = "give one of --type, --mag and --saros (or choose with --search-type)";
      return std::nullopt;
    }
    if (o.typeCode) type = kSearchByType;
    if (o.magnitude) type = kSearchBySite;
    if (o.saros) type = kSearchBySaros;
  }
  if (o.lookBackYears && type != kSearchByType && type != kSearchBySite) {
    error = "--lookback applies to a type search (--type) or a site search (--mag)";
    return std::nullopt;
  }
  return type;
}

}  // namespace

std::string applyCriteria(const CriteriaOptions& o, SessionState& s) {
  if (!o.given()) return {};
  std::string error;
  const std::optional<int> type = criteriaSearchType(o, error);
  if (!type) return error;
  const int searchType = *type;
  s.searchType = searchType;
  if (o.typeCode) {
    s.typeChoice = *o.typeCode;
    s.typeCriterion = *o.typeCode;
  }
  if (o.magnitude) s.magnitudeCriterion = *o.magnitude;
  if (o.saros) s.sarosCriterion = *o.saros;
  if (o.lookBackYears) {
    if (searchType == kSearchByType) s.typeLookBackYears = *o.lookBackYears;
    if (searchType == kSearchBySite) s.siteLookBackYears = *o.lookBackYears;
  }
  applySarosRestart(s);
  return {};
}

std::string applySearchSite(const SharedOptions& options, SessionState& state) {
  SiteList sites;
  if (state.searchType == kSearchBySite || options.cityName) {
    const SiteLoadResult loaded = loadSites(state, sites, siteFile());
    printSiteListNotice(loaded.notice, !loaded.errorTexts.empty());
  }
  return applySiteOptions(options, sites, state);
}

}  // namespace tarvo::cli
