// What every view of the window shares: the one session state, the
// catalogue reader with its open file, and the city list.
#pragma once

#include <filesystem>

#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "core/session_state.h"

namespace tarvo::window {

struct WindowSession {
  SessionState state;
  CanonReader reader{"."};
  SiteList sites;
};

}  // namespace tarvo::window
