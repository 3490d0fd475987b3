// What one document holds: its session state (the city list read and the
// site resolved before its first paint) and its own catalogue reader with
// its open file and read position. Every view of the document shows it.
#pragma once

#include <filesystem>

#include "catalogue/canon_reader.h"
#include "session/session_state.h"

namespace tarvo::window {

struct WindowSession {
  SessionState state;
  CanonReader reader{"."};
};

}  // namespace tarvo::window
