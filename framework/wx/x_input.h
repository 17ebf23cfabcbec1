// A person's input as the X server delivers it: pointer moves, clicks and keys sent through the
// XTest extension (so the window manager, grabs and focus decide where they land), and a request
// to the window manager to bring a window to the front. A test tool, never shipped.
#pragma once

#include <wx/gdicmn.h>
#include <wx/window.h>

#include <string_view>

#include "framework/wx/x_windows.h"

namespace fw::wx::x {

enum class Modifier { Plain, Control };

// Moves the pointer to a point of the screen and presses and releases a button there.
void Click(const wxPoint& screen, int button = 1, Modifier modifier = Modifier::Plain);
// Sends a key press and release; `keysym` as X names keys (XK_Return, XK_a, ...).
void Key(unsigned long keysym, Modifier modifier = Modifier::Plain);
// Types the text key by key, with Shift where the keyboard needs it.
void Type(std::string_view text);
// How many key and button releases have been sent, and how many this process has received: the
// input sent has arrived once the second has reached the first.
unsigned long ReleasesSent();
unsigned long ReleasesReceived();
// Counts what was sent and has not arrived as lost (a click that landed on another program's
// window), so that a new start does not wait for it.
void ForgetUndelivered();

// Asks the window manager to activate the window (it comes to the front with the focus).
void Activate(unsigned long window);

}  // namespace fw::wx::x
