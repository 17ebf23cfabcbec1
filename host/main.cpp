// ipo-terminal: the desktop trading terminal hosting the IPO plug-in.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uilocale.h>
#include <wx/utils.h>

#include <csignal>
#include <memory>

#include "framework/wx/wx_user.h"
#include "host/screenshot_session.h"
#include "host/terminal.h"

namespace {

// Saves the whole screen (the main window and the dialogs over it) with ImageMagick, once what
// the last steps changed is painted, not at the toolkit's next frame.
bool SaveScreen(const std::string& path) {
    for (wxWindow* window : wxTopLevelWindows) {
        if (window->IsShown()) {
            window->Update();
        }
    }
    return wxExecute("import -window root \"" + wxString::FromUTF8(path) + "\"",
                     wxEXEC_SYNC | wxEXEC_BLOCK) == 0;
}

class TerminalApp : public wxApp {
  public:
    explicit TerminalApp(TerminalSettings settings) : settings_(std::move(settings)) {}

    bool OnInit() override {
        wxUILocale::UseDefault();
        SetAppDisplayName("IPO Terminal");
        const wxString folder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
        terminal_ = std::make_unique<Terminal>(settings_, std::string(folder.utf8_str()));
        end_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { EndWhenSettled(); });
        SetSignalHandler(SIGTERM, OnEndSignal);
        SetSignalHandler(SIGINT, OnEndSignal);
        if (!terminal_->Start()) {
            return true;  // the sign-in was cancelled: the main loop ends as the window closes
        }
        if (!settings_.screenshotDirectory.empty()) {
            session_ = std::make_unique<ScreenshotSession>(
                terminal_->core(), settings_.screenshotDirectory, SaveScreen);
            CallAfter([this] {
                fw::wx::WxUser ui;
                failed_ = !session_->Run(ui);
                terminal_->Exit();
            });
        }
        return true;
    }

    int OnExit() override {
        end_.Stop();
        session_.reset();
        terminal_.reset();
        return wxApp::OnExit();
    }

    int OnRun() override {
        const int result = wxApp::OnRun();
        return failed_ ? 1 : result;
    }

  private:
    // Runs in an event loop (wx passes the signal on through a pipe), not in the signal
    // handler: the terminal is ended from a timer.
    static void OnEndSignal(int) { static_cast<TerminalApp*>(wxTheApp)->end_.StartOnce(1); }

    // Closes the terminal as File > Exit does, so that it signs out; not inside a Yield (the
    // host yields while it lays a new window out, which must not be pulled away from under it).
    // The closed window is deleted in idle time, which nothing else may bring about now.
    void EndWhenSettled() {
        const wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        if (loop && loop->IsYielding()) {
            end_.StartOnce(50);
            return;
        }
        if (terminal_) {
            terminal_->Exit();
            wxWakeUpIdle();
        }
    }

    TerminalSettings settings_;
    std::unique_ptr<Terminal> terminal_;
    std::unique_ptr<ScreenshotSession> session_;
    bool failed_ = false;
    wxTimer end_;
};

}  // namespace

int main(int argc, char** argv) {
    // The settings are read before any window exists, so that --help works without a display.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const SettingsResult read = ReadTerminalSettings(arguments, UserSettingsFile());
    if (!read.settings) {
        return PrintSettingsAnswer(read);
    }
    wxApp::SetInstance(new TerminalApp(*read.settings));
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
