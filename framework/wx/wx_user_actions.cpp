#include "framework/wx/wx_user_actions.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <chrono>

namespace fw::wx {

void Pump(int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
        wxMilliSleep(10);
    } while (std::chrono::steady_clock::now() < until);
}

wxWindow* FindShownTopLevel(const wxString& title) {
    for (wxWindow* window : wxTopLevelWindows) {
        if (window->IsShown() && window->GetLabel() == title) {
            return window;
        }
    }
    return nullptr;
}

wxListCtrl* FindList(wxWindow* window) {
    if (!window) {
        return nullptr;
    }
    if (auto* list = dynamic_cast<wxListCtrl*>(window)) {
        return list;
    }
    for (wxWindow* child : window->GetChildren()) {
        if (wxListCtrl* list = FindList(child)) {
            return list;
        }
    }
    return nullptr;
}

namespace {

void Leave(wxWindow* control) {
    wxFocusEvent lost(wxEVT_KILL_FOCUS, control->GetId());
    lost.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(lost);
}

}  // namespace

bool TypeInto(wxWindow* parent, int id, const std::string& text) {
    auto* box = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(id, parent));
    if (!box || !box->IsEnabled()) {
        return false;
    }
    box->SetFocus();
    box->Clear();
    box->AppendText(wxString::FromUTF8(text));
    Leave(box);
    return true;
}

bool Tick(wxWindow* parent, int id, bool checked) {
    auto* box = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowById(id, parent));
    if (!box || !box->IsEnabled()) {
        return false;
    }
    if (box->GetValue() != checked) {
        box->SetValue(checked);
        wxCommandEvent click(wxEVT_CHECKBOX, id);
        click.SetEventObject(box);
        click.SetInt(checked ? 1 : 0);
        box->GetEventHandler()->ProcessEvent(click);
    }
    return true;
}

bool Press(wxWindow* parent, int id) {
    auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowById(id, parent));
    if (!button || !button->IsEnabled()) {
        return false;
    }
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
    return true;
}

void ClickAt(wxWindow* window, const wxPoint& point) {
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetEventObject(window);
    down.SetPosition(point);
    down.m_leftDown = true;
    window->GetEventHandler()->ProcessEvent(down);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetEventObject(window);
    up.SetPosition(point);
    window->GetEventHandler()->ProcessEvent(up);
}

bool ClickCell(wxListCtrl* list, long item, long column) {
    wxRect cell;
    if (!list || !list->GetSubItemRect(item, column, cell)) {
        return false;
    }
    // The rows are drawn by the list's child below the header; clicks go to it.
    const wxPoint screen = list->ClientToScreen(cell.GetPosition() + wxPoint(4, cell.height / 2));
    for (wxWindow* child : list->GetChildren()) {
        const wxPoint at = child->ScreenToClient(screen);
        if (child->GetClientRect().Contains(at)) {
            ClickAt(child, at);
            return true;
        }
    }
    return false;
}

}  // namespace fw::wx
