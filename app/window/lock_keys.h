// The state of the keyboard's lock keys, as the status bar's indicators
// show it.
#pragma once

#include <optional>

namespace tarvo::window {

struct LockKeys {
  bool kana = false, caps = false, num = false, scroll = false;
};

// The lock keys' state from the display's keyboard indicators; empty where
// the platform does not tell it (offscreen, Wayland).
std::optional<LockKeys> readLockKeys();

}  // namespace tarvo::window
