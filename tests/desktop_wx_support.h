// What the desktop tests share: a wx application for the test process (started once, before the
// first test), event pumping, and a hook that answers message boxes and records them.
#pragma once

#include <wx/modalhook.h>
#include <wx/window.h>

#include <string>
#include <vector>

namespace desktop_test {

// Lets wx deliver what is queued: pending events, CallAfter calls, idle processing, layout.
void Pump(int rounds = 5);

// Answers every message box with OK and keeps its text and icon style.
class MessageBoxAnswerer : public wxModalDialogHook {
  public:
    MessageBoxAnswerer() { Register(); }
    ~MessageBoxAnswerer() override { Unregister(); }

    struct Shown {
        std::string text;
        long style = 0;
        wxWindow* owner = nullptr;
    };
    std::vector<Shown> shown;

  protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* /*dialog*/) override {}
};

// The top-level window whose title is `title`, or null.
wxWindow* FindTopLevel(const wxString& title);

}  // namespace desktop_test
