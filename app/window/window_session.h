// What every view of the window shares: the one session state, the
// catalogue reader with its open file (the city list is in the state).
#pragma once

#include <filesystem>

#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

namespace tarvo::window {

struct WindowSession {
  SessionState state;
  CanonReader reader{"."};
  // Where the paint reads the city list: the user's own or the data directory's.
  std::filesystem::path siteDirectory;
};

}  // namespace tarvo::window
