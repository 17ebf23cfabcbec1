// ipo-terminal: the desktop trading terminal hosting the IPO plug-in.
#include <wx/app.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/uilocale.h>

#include <csignal>
#include <iostream>
#include <memory>

#include "host/screenshot_session.h"
#include "host/terminal.h"

namespace {

Terminal* g_running = nullptr;  // the terminal a signal asks to end

// Runs in the main loop (wx passes the signal on through a pipe), not in the signal handler:
// the terminal closes as on File > Exit, and signs out. The closed window is deleted in idle
// time, which nothing else may bring about now: it is asked for.
void OnEndSignal(int) {
    if (g_running) {
        g_running->Exit();
        wxWakeUpIdle();
    }
}

class TerminalApp : public wxApp {
  public:
    explicit TerminalApp(TerminalSettings settings) : settings_(std::move(settings)) {}

    bool OnInit() override {
        wxUILocale::UseDefault();
        SetAppDisplayName("IPO Terminal");
        const wxString folder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
        terminal_ = std::make_unique<Terminal>(settings_, std::string(folder.utf8_str()));
        g_running = terminal_.get();
        SetSignalHandler(SIGTERM, OnEndSignal);
        SetSignalHandler(SIGINT, OnEndSignal);
        if (!terminal_->Start()) {
            return true;  // the sign-in was cancelled: the main loop ends as the window closes
        }
        if (!settings_.screenshotDirectory.empty()) {
            session_ =
                std::make_unique<ScreenshotSession>(*terminal_, settings_.screenshotDirectory);
            CallAfter([this] {
                failed_ = !session_->Run();
                terminal_->Exit();
            });
        }
        return true;
    }

    int OnExit() override {
        g_running = nullptr;
        session_.reset();
        terminal_.reset();
        return wxApp::OnExit();
    }

    int OnRun() override {
        const int result = wxApp::OnRun();
        return failed_ ? 1 : result;
    }

  private:
    TerminalSettings settings_;
    std::unique_ptr<Terminal> terminal_;
    std::unique_ptr<ScreenshotSession> session_;
    bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    // The settings are read before any window exists, so that --help works without a display.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const SettingsResult read = ReadTerminalSettings(arguments, UserSettingsFile());
    if (!read.settings) {
        if (read.help) {
            std::cout << read.text << std::endl;
        } else {
            std::cerr << "ipo-terminal: " << read.text << std::endl;
        }
        return read.help ? 0 : 2;
    }
    wxApp::SetInstance(new TerminalApp(*read.settings));
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
