// The scripted session of --screenshots DIR: opens each screen in turn as a trader would (the
// watch list, an issue's details, the bid dialog filled for a current issue, its terms viewer,
// the order book after Apply), saves a PNG of the screen for each and prints the paths.
#pragma once

#include <wx/modalhook.h>

#include <string>
#include <vector>

#include "host/terminal.h"

class ScreenshotSession {
  public:
    ScreenshotSession(Terminal& terminal, std::string folder);
    // True when every screen was reached and saved.
    bool Run();
    const std::vector<std::string>& saved() const { return saved_; }

  private:
    // Message boxes are answered with OK and their texts written to the output.
    class MessageAnswerer : public wxModalDialogHook {
      protected:
        int Enter(wxDialog* dialog) override;
        void Exit(wxDialog*) override {}
    };

    bool Shoot(const std::string& name);
    bool ShootTerms(wxWindow* bid);
    bool Fail(const std::string& why);

    Terminal& terminal_;
    std::string folder_;
    std::vector<std::string> saved_;
};
