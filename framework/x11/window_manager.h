// What our test tools ask of the window manager, as a person's pager or task bar asks it.
#pragma once

#include <X11/Xlib.h>

namespace fw::x11 {

// Asks the window manager to activate `window` (_NET_ACTIVE_WINDOW, sent by a user's own tool).
void AskToActivate(Display* display, Window window);

}  // namespace fw::x11
