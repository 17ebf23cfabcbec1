// Low-level events on real controls, sent straight to them: pressing a button, clicking a point,
// and running wx's event loop until what a test waits for has happened. The GUI benchmark, the
// backend's tests and the wx user use them.
#pragma once

#include <wx/listctrl.h>
#include <wx/window.h>

#include <chrono>
#include <functional>

namespace fw::wx {

// Lets wx deliver what is queued (events, CallAfter calls, idle work, layout) for a while.
void Pump(int milliseconds = 200);

// Runs a wx event loop (events, CallAfter calls, idle work, layout) until `done` holds, tested
// every 10 ms; returns at once when it holds already. The loop ends only from its own level: a
// modal window running a loop of its own inside it is ended first.
void RunLoopUntil(const std::function<bool()>& done);
// The same, giving up once the patience has passed; whether `done` holds.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds patience = std::chrono::seconds(5));
// Whether the X server shows the top-level window holding the GTK widget: GTK has mapped it and
// the window manager has placed it.
bool OnScreen(void* widget);

// The first list control inside a window, or null.
wxListCtrl* FindList(wxWindow* window);

// Presses a button.
bool Press(wxWindow* parent, int id);
// Sends a left click to a point of a window, as the mouse would.
void ClickAt(wxWindow* window, const wxPoint& point);

}  // namespace fw::wx
