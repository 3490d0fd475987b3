// The search criteria on the command line: the Search dialog's fields as
// options, applied to the session as the dialog's OK applies them.
//   --type T       search by type T (1 total, 2 partial, 3 penumbral; 4..6
//                  are the list's blank entries, which match nothing)
//   --mag M        search by site: umbral magnitude above M (0..1.5) at the
//                  observing site (--site LON LAT HEIGHT or --city NAME)
//   --saros S      search by Saros series S (−400..400)
//   --lookback Y   years Previous looks back in a type or site search (0..1000)
//   --search-type K  the search type itself (0..3), with the fields above
#pragma once

#include <optional>
#include <string>

#include "app/cli/shared_options.h"
#include "session/session_state.h"

namespace tarvo::cli {

struct CriteriaOptions {
  std::optional<int> searchType;  // --search-type
  std::optional<int> typeCode;    // --type
  std::optional<double> magnitude;
  std::optional<double> saros;
  std::optional<double> lookBackYears;
  // Any criteria option given: the dialog's OK runs.
  bool given() const { return searchType || typeCode || magnitude || saros || lookBackYears; }
};

// Registers --search-type, --type, --mag, --saros and --lookback, writing
// into `out`; a value outside the dialog's range is a usage error naming it.
void addCriteriaOptions(OptionParser& parser, CriteriaOptions& out);

// The Search dialog's OK with these values, once the cursor and the site are
// set: the search type (--search-type when given, else the one criterion
// given) and its fields, then the Saros restart, which may move the cursor
// year. Nothing when no criteria option was given. Returns a message for
// contradictory options (two criteria without --search-type, --lookback
// without a type or site search), empty when applied.
std::string applyCriteria(const CriteriaOptions& options, SessionState& state);

// The observing site once the criteria are applied: for a site search, or
// when --city names a city, the city list is read as the first paint reads it
// (its first city becomes the site), then --city or --site is applied.
// Returns an error message for an unknown city, empty otherwise.
std::string applySearchSite(const SharedOptions& options, SessionState& state);

}  // namespace tarvo::cli
