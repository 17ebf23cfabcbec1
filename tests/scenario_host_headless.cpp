// Scenarios on the headless backend: the plug-in's views opened as a host opens them, the
// host's answers to the plug-in's messages from the terminal's own code.
#include <vector>

#include "framework/headless/headless_user.h"
#include "host/host_messages.h"
#include "host/terminal_folders.h"
#include "orderbook/order_book_layout.h"
#include "plugin/runtime_classes.h"
#include "scenario_host.h"
#include "watch/ipo_watch_layout.h"

namespace {

class RecordingLog : public TerminalLog {
  public:
    void ShowMessage(const std::string& text) override { lines.push_back(text); }
    void ShowClientInUse(const std::string&, const std::string&) override {}
    std::vector<std::string> lines;
};

class HeadlessHost : public ScenarioHost {
  public:
    HeadlessHost(harness::ServiceProcess& service, const SeededUser& user, bool withCompanion)
        : env_(Config(service, user, withCompanion)),
          user_(env_.backend()),
          messages_(log_, clients_, service.Address()) {
        fw::RegisterTemplate(&WatchFormLayout());
        fw::RegisterTemplate(&OrderBookFormLayout());
        clients_.SetSession(service.Endpoint(), service.Token(user.id));
        env_.answerClientLookup = [this](ClientLookupMessage& m) { messages_.Handle(&m); };
        env_.answerClientSelected = [this](ClientSelectedMessage& m) { messages_.Handle(&m); };
        env_.answerServiceFailure = [this](ServiceFailureMessage& m) { messages_.Handle(&m); };
        // The trader's clock: the seeded issues are open around today.
        const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        std::tm local{};
        localtime_r(&now, &local);
        env_.backend().now = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                              local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    ~HeadlessHost() override { windows_.clear(); }

    fw::UserActions& ui() override { return user_; }
    void Open(uint32_t menuId) override {
        const bool watch = menuId == kMenuIPOWatch;
        windows_.push_back(std::make_unique<fw::headless::OpenedWindow>(
            watch ? WatchViewClass() : OrderBookViewClass(), GenericFrameClass(),
            static_cast<int>(watch ? kFormIPOWatch : kFormIPOOrderBook)));
    }
    std::vector<std::string> Log() override { return log_.lines; }

  private:
    // The working folder prepared as the terminal prepares it: the terms file, and the companion
    // linked from the plug-in's folder (an empty one when it is to be missing).
    static PluginTestConfig Config(harness::ServiceProcess& service, const SeededUser& user,
                                   bool withCompanion) {
        TerminalFolders folders =
            FindTerminalFolders(harness::BinDir(), service.Folder() + "/work");
        if (!withCompanion) {
            folders.plugin = service.Folder();
        }
        PrepareWorkingFolder(folders);
        PluginTestConfig config = SeededUserConfig(service, user);
        config.workingDirectory = folders.working;
        return config;
    }
    PluginTestEnv env_;
    fw::headless::HeadlessUser user_;
    RecordingLog log_;
    ServiceClientDirectory clients_;
    HostMessages messages_;
    std::vector<std::unique_ptr<fw::headless::OpenedWindow>> windows_;
};

}  // namespace

std::unique_ptr<ScenarioHost> StartScenarioHost(harness::ServiceProcess& service,
                                                const SeededUser& user, bool withCompanion) {
    return std::make_unique<HeadlessHost>(service, user, withCompanion);
}
