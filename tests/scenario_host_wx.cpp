// Scenarios in real windows: the desktop terminal hosts the plug-in through the wx backend on
// the test's display, signed in at the test's service.
#include <wx/toplevel.h>

#include <filesystem>

#include "framework/wx/wx_user.h"
#include "framework/wx/wx_user_actions.h"
#include "host/terminal.h"
#include "scenario_host.h"

namespace {

namespace fs = std::filesystem;

// A program folder holding everything the terminal ships but the companion library.
std::string FolderWithoutCompanion(const std::string& folder) {
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(harness::BinDir())) {
        const fs::path name = entry.path().filename();
        if (name.string().rfind("Corvexdll64", 0) != 0 && !fs::exists(folder / name)) {
            fs::create_symlink(entry.path(), folder / name);
        }
    }
    return folder;
}

class WxHost : public ScenarioHost {
  public:
    WxHost(harness::ServiceProcess& service, const SeededUser& user, bool withCompanion) {
        TerminalSettings settings;
        settings.service = service.Endpoint();
        settings.userType = user.type;
        settings.userId = user.id;
        settings.loginClientId = user.loginClientId;
        settings.loginClientCode = user.loginClientCode;
        settings.password = harness::SeededPassword(user.id);
        const std::string folder =
            withCompanion ? harness::BinDir() : FolderWithoutCompanion(service.Folder() + "/bin");
        terminal_ = std::make_unique<Terminal>(settings, folder);
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
