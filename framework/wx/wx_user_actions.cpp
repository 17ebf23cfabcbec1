#include "framework/wx/wx_user_actions.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <gtk/gtk.h>

#include "framework/wx/x_windows.h"

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

void RunLoopUntil(const std::function<bool()>& done) {
    if (done()) {
        return;
    }
    wxGUIEventLoop loop;
    wxTimer check;
    check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (done() && wxEventLoopBase::GetActive() == &loop) {
            loop.ScheduleExit();
        }
    });
    check.Start(10);
    loop.Run();
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    RunLoopUntil([&] { return done() || std::chrono::steady_clock::now() >= until; });
    return done();
}

bool OnScreen(void* widget) {
    return widget && gtk_widget_get_mapped(static_cast<GtkWidget*>(widget)) && x::Viewable(widget);
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

}  // namespace fw::wx
