#include "app/window/lock_keys.h"

#include <QGuiApplication>

#if defined(TARVO_HAVE_X11)
#include <X11/XKBlib.h>
#endif

namespace tarvo::window {

std::optional<LockKeys> readLockKeys() {
#if defined(TARVO_HAVE_X11)
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (display == nullptr) return std::nullopt;
  // The keyboard's indicators by their XKB names; one the keymap lacks is off.
  auto lit = [display](const char* name) {
    Bool on = False;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
    return on == True;
  };
  return LockKeys{lit("Kana"), lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
#else
  return std::nullopt;
#endif
}

}  // namespace tarvo::window
