// Low-level events on real controls, sent straight to them: pressing a button, clicking a point,
// and letting wx deliver what is queued. The GUI benchmark and the backend's tests use them.
#pragma once

#include <wx/listctrl.h>
#include <wx/window.h>

namespace fw::wx {

// Lets wx deliver what is queued (events, CallAfter calls, idle work, layout) for a while.
void Pump(int milliseconds = 200);

// The first list control inside a window, or null.
wxListCtrl* FindList(wxWindow* window);

// Presses a button.
bool Press(wxWindow* parent, int id);
// Sends a left click to a point of a window, as the mouse would.
void ClickAt(wxWindow* window, const wxPoint& point);

}  // namespace fw::wx
