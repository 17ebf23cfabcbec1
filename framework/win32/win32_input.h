// A person's input as the window system delivers it: pointer moves, clicks and keys sent with
// SendInput (so focus, capture and the window in front decide where they land). A test tool,
// never shipped.
#pragma once

#include <string_view>

#include "framework/win32/windows_api.h"

namespace fw::win32::input {

enum class Modifier { Plain, Control, Shift, ControlShift };

// Moves the pointer to a point of the screen and presses and releases a button there.
void Click(POINT screen, bool right = false, Modifier modifier = Modifier::Plain);
// Presses and releases a key (a virtual-key code: VK_RETURN, VK_TAB, ...).
void Key(WORD key, Modifier modifier = Modifier::Plain);
// Types the text character by character.
void Type(std::string_view text);

// The middle of a rectangle given in a window's client coordinates, on the screen.
POINT Centre(HWND window, const RECT& rect);
// The middle of a window's client area, on the screen.
POINT Centre(HWND window);

}  // namespace fw::win32::input
