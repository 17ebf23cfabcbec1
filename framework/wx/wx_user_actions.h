// Low-level user events on real controls: pressing a button, clicking a point or a list cell,
// and letting wx deliver what is queued. The wx user driver and the GUI benchmark use them.
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
// Clicks a cell of a list (the row is selected first, as a click does).
bool ClickCell(wxListCtrl* list, long item, long column);

}  // namespace fw::wx
