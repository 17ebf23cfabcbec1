// Scenarios in real windows: the desktop terminal hosts the plug-in through the wx backend on
// the test's display, signed in at the test's service.
#include <wx/toplevel.h>

#include "framework/wx/wx_user.h"
#include "framework/wx/wx_user_actions.h"
#include "host/terminal.h"
#include "scenario_host.h"
#include "scenario_terminal.h"

namespace {

class WxHost : public ScenarioHost {
  public:
    WxHost(harness::ServiceProcess& service, const SeededUser& user, bool withCompanion) {
        terminal_ = std::make_unique<Terminal>(ScenarioTerminalSettings(service, user),
                                               ScenarioProgramFolder(service, withCompanion));
        terminal_->Start();
    }
    ~WxHost() override {
        terminal_->Exit();
        fw::wx::RunUntil([] { return wxTopLevelWindows.IsEmpty(); });
    }

    fw::UserActions& ui() override { return user_; }
    void Open(uint32_t menuId) override { terminal_->Open(menuId); }
    std::vector<std::string> Log() override { return terminal_->messages(); }

  private:
    std::unique_ptr<Terminal> terminal_;
    fw::wx::WxUser user_;
};

}  // namespace

std::unique_ptr<ScenarioHost> StartScenarioHost(harness::ServiceProcess& service,
                                                const SeededUser& user, bool withCompanion) {
    return std::make_unique<WxHost>(service, user, withCompanion);
}
