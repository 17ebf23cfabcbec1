// A person's input as the window system delivers it: pointer moves, clicks and keys, and the
// window the user turns to. Under Wine they go through the X server (XTest), sent by the native
// helper ipo-x-input that the environment's IPO_X_INPUT names, so that the window manager sees
// them as a person's and decides focus and stacking; the window manager is asked to activate a
// window. On Windows itself (no IPO_X_INPUT) they go in with SendInput, and a window is brought
// forward with SetForegroundWindow. A test tool, never shipped.
#pragma once

#include <string_view>

#include "framework/win32/windows_api.h"

namespace fw::win32::input {

enum class Modifier { Plain, Control, Shift, ControlShift };

// Moves the pointer to a point of the screen and presses and releases a button there.
void Click(POINT screen, bool right = false, Modifier modifier = Modifier::Plain);
// Presses and releases a key: VK_RETURN, VK_ESCAPE, VK_TAB, VK_HOME, VK_END or VK_DELETE.
void Key(WORD key, Modifier modifier = Modifier::Plain);
// Types the text character by character.
void Type(std::string_view text);
// Turns to a top-level window: the window manager activates it (it comes to the front with the
// focus) once it has shown it.
void Activate(HWND window);
// Whether the window manager has made the top-level window the active one (where there is no
// window manager to ask, whether it is the foreground window). Wine makes a window it shows the
// foreground window at once, before the window manager has shown it or given it the focus.
bool Active(HWND window);

// Counts, on the calling thread (the UI thread, which runs its messages), the key and button
// releases that reach the window system, until StopCounting.
void CountArrivals();
void StopCounting();
// Whether the input sent has reached the window system: every release sent has arrived, or none
// has come for seconds (a click that landed on no window of Wine's), which is counted as lost.
bool Arrived();

// The middle of a rectangle given in a window's client coordinates, on the screen.
POINT Centre(HWND window, const RECT& rect);
// The middle of a window's client area, on the screen.
POINT Centre(HWND window);

}  // namespace fw::win32::input
