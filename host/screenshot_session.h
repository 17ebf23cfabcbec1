// The scripted session of --screenshots DIR: opens each screen in turn as a trader would (the
// watch list, an issue's details, the bid dialog filled for a current issue, its terms viewer,
// the order book after Apply with the bid placed), through the user driver, saves a PNG of the
// screen for each and prints the paths. The bid it placed it cancels again before it ends.
#pragma once

#include <string>
#include <vector>

#include "host/terminal.h"

namespace fw {
class UserDriver;
}

class ScreenshotSession {
  public:
    ScreenshotSession(Terminal& terminal, std::string folder);
    // True when every screen was reached and saved.
    bool Run();
    const std::vector<std::string>& saved() const { return saved_; }

  private:
    bool Script(fw::UserDriver& user);
    bool ShootNow(fw::UserDriver& user, const std::string& name);
    bool CancelNewOrder(fw::UserDriver& user, const std::vector<std::vector<std::string>>& before);
    bool Shoot(const std::string& name);
    bool Fail(const std::string& why);

    Terminal& terminal_;
    std::string folder_;
    std::vector<std::string> saved_;
};
