// Scenarios in real Win32 windows under Wine: the Windows terminal hosts the plug-in on the
// test's display, signed in at the test's (native) service.
#include <gtest/gtest.h>

#include <chrono>

#include "framework/win32/win32_user.h"
#include "host/win32/win32_terminal.h"
#include "scenario_host.h"
#include "scenario_terminal.h"

namespace {

class Win32Host : public ScenarioHost {
  public:
    Win32Host(harness::ServiceProcess& service, const SeededUser& user, bool withCompanion)
        : terminal_(ScenarioTerminalSettings(service, user),
                    ScenarioProgramFolder(service, withCompanion)),
          user_(terminal_.backend()) {
        terminal_.core().Start();
    }
    // The terminal's exit closes the main window through its message queue, within seconds.
    ~Win32Host() override {
        terminal_.core().Exit();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        user_.RunUntil([this, deadline] {
            return !terminal_.mainWindow() || std::chrono::steady_clock::now() > deadline;
        });
        EXPECT_FALSE(terminal_.mainWindow()) << "the main window stays after the exit";
    }

    fw::UserActions& ui() override { return user_; }
    void Open(uint32_t menuId) override { terminal_.core().Open(menuId); }
    std::vector<std::string> Log() override { return terminal_.core().messages(); }

  private:
    Win32Terminal terminal_;
    fw::win32::Win32User user_;
};

}  // namespace

std::unique_ptr<ScenarioHost> StartScenarioHost(harness::ServiceProcess& service,
                                                const SeededUser& user, bool withCompanion) {
    return std::make_unique<Win32Host>(service, user, withCompanion);
}
