// What the window manager shows, read from the X server: the X window that holds a widget,
// whether the server shows it, the active window and the stacking of the top-level windows.
#pragma once

#include <vector>

namespace fw::wx::x {

// The X window of the top-level window that holds a GTK widget (0 while it has none).
unsigned long XWindowOf(void* widget);
// Whether the server shows the top-level window that holds the widget (the window manager has
// placed and mapped it).
bool Viewable(void* widget);
// The window the window manager made active, and its windows from bottom to top.
unsigned long ActiveWindow();
std::vector<unsigned long> Stacking();

}  // namespace fw::wx::x
