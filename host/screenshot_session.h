// The scripted session of --screenshots DIR: opens each screen in turn as a trader would (the
// watch list, an issue's details, the bid dialog filled for a current issue, its terms viewer,
// the order book after Apply with the bid placed), through the user driver, saves a PNG of the
// screen for each and prints the paths. The bid it placed it cancels again before it ends. The
// platform's terminal gives the user's actions on its windows and the saving of the screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/terminal_core.h"

namespace fw {
class UserActions;
class UserDriver;
}  // namespace fw

class ScreenshotSession {
  public:
    // Saves the whole screen as a PNG file at the path; false when it cannot.
    using SaveScreen = std::function<bool(const std::string& path)>;

    ScreenshotSession(TerminalCore& terminal, std::string folder, SaveScreen save);
    // Plays the session with the user's actions on the terminal's windows; true when every
    // screen was reached and saved.
    bool Run(fw::UserActions& ui);
    const std::vector<std::string>& saved() const { return saved_; }

  private:
    bool Script(fw::UserDriver& user);
    bool ShootNow(fw::UserDriver& user, const std::string& name);
    bool CancelNewOrder(fw::UserDriver& user, const std::vector<std::vector<std::string>>& before);
    bool Shoot(const std::string& name);
    bool Fail(const std::string& why);

    TerminalCore& terminal_;
    std::string folder_;
    SaveScreen save_;
    std::vector<std::string> saved_;
};
