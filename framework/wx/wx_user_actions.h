// Drives real controls the way a user does: typing into boxes, leaving them, ticking boxes,
// pressing buttons and clicking, all through the controls' own events. The terminal's
// screenshot session and the GUI tests use it.
#pragma once

#include <wx/listctrl.h>
#include <wx/window.h>

#include <string>

namespace fw::wx {

// Lets wx deliver what is queued (events, CallAfter calls, idle work, layout) for a while.
void Pump(int milliseconds = 200);

// The shown top-level window with this title, or null.
wxWindow* FindShownTopLevel(const wxString& title);
// The first list control inside a window, or null.
wxListCtrl* FindList(wxWindow* window);

// Replaces the text of an edit box as typing does, then leaves the box.
bool TypeInto(wxWindow* parent, int id, const std::string& text);
// Ticks or clears a check box as a click does.
bool Tick(wxWindow* parent, int id, bool checked);
// Presses a button.
bool Press(wxWindow* parent, int id);
// Sends a left click to a point of a window, as the mouse would.
void ClickAt(wxWindow* window, const wxPoint& point);
// Clicks a cell of a list (the row is selected first, as a click does).
bool ClickCell(wxListCtrl* list, long item, long column);

}  // namespace fw::wx
