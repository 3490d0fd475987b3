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

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/session_state.h"

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

enum class OptionMatch { NotMine, Taken, Bad };

// When args[i] is a criteria option, takes it and its value into `out` and
// leaves i on the value; Bad, with a message naming the allowed range, when
// the value is missing or out of range.
OptionMatch takeCriteriaOption(const std::vector<std::string>& args, std::size_t& i, CriteriaOptions& out,
                               std::string& error);

// The search type the options ask for: --search-type when given, else the
// one criterion given (0 with none). nullopt, with a message, when two
// criteria are given without --search-type or --lookback has no type or site
// search to apply to.
std::optional<int> criteriaSearchType(const CriteriaOptions& options, std::string& error);

// The Search dialog's OK with these values: the search type and its fields
// (the site is set by the site options), then the Saros restart, which may
// move the cursor year. Nothing when no criteria option was given.
void applyCriteria(const CriteriaOptions& options, int searchType, SessionState& state);

}  // namespace tarvo::cli
