// The options of the commands that land on an eclipse, set up once: YEAR
// MONTH, the steps, the search criteria, the site and ΔT, always in this
// order in the usage line.
#pragma once

#include <string>

#include "app/cli/criteria_options.h"
#include "app/cli/option_parser.h"
#include "app/cli/shared_options.h"
#include "session/session_state.h"

namespace tarvo::cli {

enum class Need { No, Optional, Required };
enum class Steps { None, NextOnly, NextOrPrevious };

// Which of the eclipse options a command takes.
struct EclipseOptionSet {
  Need cursor = Need::Required;  // YEAR MONTH
  Need site = Need::Optional;    // --city NAME | --site LON LAT HEIGHT
  Steps steps = Steps::NextOrPrevious;
  bool criteria = true;          // the Search dialog's fields
};

struct EclipseOptions {
  EclipseOptionSet set;
  SharedOptions shared{};
  CriteriaOptions criteria{};
};

// Adds the options of options.set to the parser, writing into options.
void addEclipseOptions(OptionParser& parser, EclipseOptions& options);

// After parsing: YEAR MONTH from the positional arguments (when the command
// takes them) and the site when the command needs one. Returns the usage
// error, empty when there is none.
std::string checkEclipseOptions(const std::vector<std::string>& positional, EclipseOptions& options);

// The cursor (when given) and the ΔT choice into the session.
void applyCursorAndDeltaT(const SharedOptions& options, SessionState& state);

}  // namespace tarvo::cli
