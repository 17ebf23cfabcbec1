#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <memory>
#include <regex>
#include <string>

#include "framework/wx/wx_status_bar.h"
#include "framework/wx/wx_user_actions.h"
#include "host/terminal.h"
#include "service_harness.h"

namespace {

// Answers every message box at once and counts them: a box left up would stop the run.
struct MessageBoxAnswerer : wxModalDialogHook {
    MessageBoxAnswerer() { Register(); }
    ~MessageBoxAnswerer() override { Unregister(); }
    int Enter(wxDialog* dialog) override {
        if (!dynamic_cast<wxMessageDialog*>(dialog)) {
            return wxID_NONE;
        }
        ++shown;
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
    int shown = 0;
};

class TerminalTest : public ::testing::Test {
  protected:
    // A seeded service of the test's own; it stops after the terminal has let go of it.
    int StartService() {
        service = std::make_unique<harness::ServiceProcess>();
        return service->Port();
    }
    // Signs in with the seeded user's documented password unless one is given.
    void StartTerminal(int port, const std::string& folder = harness::BinDir(),
                       TerminalSettings settings = {}) {
        settings.servicePort = port;
        if (settings.password.empty()) {
            settings.password = harness::SeededPassword(settings.userId);
        }
        terminal = std::make_unique<Terminal>(settings, folder);
        terminal->Start();
        fw::wx::Pump(200);
    }
    void TearDown() override {
        if (terminal) {
            terminal->Exit();
            fw::wx::Pump(200);
            terminal.reset();
        }
        fw::wx::Pump(100);
        service.reset();
    }

    MessageBoxAnswerer answerer;
    std::unique_ptr<harness::ServiceProcess> service;
    std::unique_ptr<Terminal> terminal;
};

TEST_F(TerminalTest, LoadsThePluginEnablesItsMenuAndPreparesTheUsersFolders) {
    StartTerminal(StartService());
    ASSERT_TRUE(terminal->pluginLoaded());
    EXPECT_TRUE(std::regex_match(terminal->plugin().Version(),
                                 std::regex(R"(R~AUG2026_FR_1~\d{8}~26\.0\.0\.32\.0)")))
        << terminal->plugin().Version();
    EXPECT_NE(nullptr, terminal->TemplateFor(kMenuIPOWatch));
    EXPECT_NE(nullptr, terminal->TemplateFor(kMenuIPOOrderBook));
    wxMenuBar* menu = terminal->frame()->GetMenuBar();
    EXPECT_TRUE(menu->IsEnabled(static_cast<int>(kMenuIPOWatch)));
    EXPECT_TRUE(menu->IsEnabled(static_cast<int>(kMenuIPOOrderBook)));
    EXPECT_NE(std::string::npos, terminal->StatusText(0).find("loaded"));
    EXPECT_TRUE(terminal->signedIn());
    EXPECT_EQ(0u, terminal->messages().at(0).find("Signed in as INV001 at 127.0.0.1:"))
        << terminal->messages().at(0);

    // A new user's working folder is made on first start: the Upload folder for exports, the
    // sample terms file, the companion beside them; the message log is kept with time stamps.
    const TerminalFolders& folders = terminal->folders();
    EXPECT_TRUE(std::filesystem::is_directory(folders.working + "/Upload"));
    std::ifstream terms(folders.working + "/IPOTermsAndConditions.html");
    const std::string text((std::istreambuf_iterator<char>(terms)), {});
    EXPECT_NE(std::string::npos, text.find("Terms and Conditions"));
    EXPECT_TRUE(std::filesystem::is_symlink(folders.working + "/Corvexdll64.so"));
    EXPECT_NE(std::string::npos, terminal->messages().back().find("loaded; user INV001"));
    std::ifstream log(folders.state + "/terminal.log");
    std::string line, last;
    while (std::getline(log, line)) {
        last = line;
    }
    // "YYYY-MM-DD HH:MM:SS  text"
    ASSERT_GT(last.size(), 21u);
    EXPECT_EQ(' ', last[10]);
    EXPECT_EQ("  " + terminal->messages().back(), last.substr(19));
}

TEST_F(TerminalTest, AFailedSignInIsSaidAndLeavesTheIPOMenuDisabled) {
    TerminalSettings settings;
    settings.password = "not-the-password";
    StartTerminal(StartService(), harness::BinDir(), settings);
    EXPECT_FALSE(terminal->signedIn());
    EXPECT_FALSE(terminal->pluginLoaded());
    const std::string said =
        "Sign-in failed for INV001 at 127.0.0.1:" + std::to_string(service->Port()) +
        ": Wrong user id or password; the IPO menu stays disabled";
    ASSERT_EQ(1u, terminal->messages().size());
    EXPECT_EQ(said, terminal->messages().back());
    EXPECT_EQ(said, terminal->StatusText(0));
    wxMenuBar* menu = terminal->frame()->GetMenuBar();
    EXPECT_FALSE(menu->IsEnabled(static_cast<int>(kMenuIPOWatch)));
    EXPECT_FALSE(menu->IsEnabled(static_cast<int>(kMenuIPOOrderBook)));
}

TEST_F(TerminalTest, OpensBothWindowsAndClosesThemOnExit) {
    StartTerminal(StartService());
    fw::wx::Pump(100);
    const wxSize before = terminal->frame()->GetSize();
    HostWindow* watch = terminal->Open(kMenuIPOWatch);
    HostWindow* book = terminal->Open(kMenuIPOOrderBook);
    ASSERT_NE(nullptr, watch);
    ASSERT_NE(nullptr, book);
    fw::wx::Pump(300);
    EXPECT_EQ(before, terminal->frame()->GetSize());  // the views fill tabs of the main window
    EXPECT_EQ("IPO WatchList", std::string(watch->child->GetTitle().utf8_str()));
    EXPECT_EQ("IPO Order Book", std::string(book->child->GetTitle().utf8_str()));
    // The views fill their frames above the three-pane status bar they created.
    ASSERT_NE(nullptr, watch->site->statusBar());
    EXPECT_EQ(3, watch->site->statusBar()->PaneCount());
    EXPECT_EQ("CURRENT IPO", watch->site->statusBar()->PaneText(1));
    wxListCtrl* list = fw::wx::FindList(watch->form->window());
    ASSERT_NE(nullptr, list);
    EXPECT_GT(list->GetItemCount(), 0);
    EXPECT_EQ("No of records : " + std::to_string(list->GetItemCount()),
              watch->site->statusBar()->PaneText(2));

    // Closing a window's tab closes its document; Exit closes the rest through the plug-in.
    watch->child->Close();
    fw::wx::Pump(200);
    EXPECT_TRUE(terminal->TemplateFor(kMenuIPOWatch)->windows().empty());
    terminal->Exit();
    fw::wx::Pump(200);
    EXPECT_EQ(nullptr, terminal->frame());
}

// The main window opens where the trader left it.
TEST_F(TerminalTest, KeepsItsWindowGeometryBetweenRuns) {
    StartTerminal(StartService());
    terminal->frame()->SetSize(90, 60, 900, 700);
    fw::wx::Pump(100);
    const wxRect left = terminal->frame()->GetRect();
    terminal->Exit();
    fw::wx::Pump(200);
    terminal.reset();
    StartTerminal(service->Port());
    EXPECT_EQ(left, terminal->frame()->GetRect());
}

TEST_F(TerminalTest, MissingPluginIsReportedAndTheTerminalStillStarts) {
    const wxString empty = wxFileName::CreateTempFileName("ipo-no-plugin");
    wxRemoveFile(empty);
    ASSERT_TRUE(wxFileName::Mkdir(empty));
    StartTerminal(StartService(), std::string(empty.utf8_str()));
    EXPECT_FALSE(terminal->pluginLoaded());
    std::string said;
    for (const std::string& message : terminal->messages()) {
        said += message + "\n";
    }
    EXPECT_NE(std::string::npos, said.find("QuorIPO64.so is missing")) << said;
    EXPECT_NE(std::string::npos, said.find("Corvexdll64.so is missing")) << said;
    EXPECT_FALSE(terminal->frame()->GetMenuBar()->IsEnabled(static_cast<int>(kMenuIPOWatch)));
    EXPECT_EQ(nullptr, terminal->Open(kMenuIPOWatch));
    EXPECT_EQ(0, answerer.shown);
    wxFileName::Rmdir(empty);
}

TEST(TerminalSettings, DefaultsMatchTheSeededServiceAndFlagsOverrideTheFile) {
    SettingsResult read = ReadTerminalSettings({});
    ASSERT_TRUE(read.settings);
    EXPECT_EQ(std::tuple(23, "INV001", "INV001", "I001"),
              std::tuple(read.settings->userType, read.settings->userId,
                         read.settings->loginClientId, read.settings->loginClientCode));
    EXPECT_EQ("http://127.0.0.1:8450/ipo/watchlist", read.settings->ServiceURL(91));
    EXPECT_EQ("http://127.0.0.1:8450/ipo/userdetails", read.settings->ServiceURL(96));
    EXPECT_EQ("", read.settings->ServiceURL(97));
    EXPECT_TRUE(read.settings->askPassword);
    // Signed in, each URL carries the token; the longest (43-character token) fits the
    // plug-in's 255 characters with room for a long host name.
    read.settings->token = std::string(43, 'T');
    EXPECT_EQ("http://" + std::string(43, 'T') + "@127.0.0.1:8450/ipo/userdetails",
              read.settings->ServiceURL(96));
    EXPECT_EQ(81u, read.settings->LongestServiceURL());

    read = ReadTerminalSettings({"--dealer", "--service", "10.0.0.5:9000"});
    ASSERT_TRUE(read.settings);
    EXPECT_EQ(24, read.settings->userType);
    EXPECT_EQ("DEALER01", read.settings->userId);
    EXPECT_EQ("D001", read.settings->loginClientCode);
    EXPECT_EQ("http://10.0.0.5:9000/ipo/order", read.settings->ServiceURL(94));

    const wxString file = wxFileName::CreateTempFileName("ipo-settings");
    {
        wxFile out(file, wxFile::write);
        out.Write(
            "user_type=26\nuser_id=U26\nservice=127.0.0.1:7000\nworking_directory=/opt/ipo\n");
    }
    const wxString secret = wxFileName::CreateTempFileName("ipo-password");
    {
        wxFile out(secret, wxFile::write);
        out.Write("pass word 1\nsecond line\n");
    }
    read = ReadTerminalSettings({"--settings", std::string(file.utf8_str()), "--user-id", "FLAG",
                                 "--password-file", std::string(secret.utf8_str())});
    ASSERT_TRUE(read.settings) << read.text;
    EXPECT_EQ(26, read.settings->userType);
    EXPECT_EQ("FLAG", read.settings->userId);
    EXPECT_EQ(7000, read.settings->servicePort);
    EXPECT_EQ("/opt/ipo", read.settings->workingDirectory);
    EXPECT_EQ("pass word 1", read.settings->password);
    EXPECT_FALSE(read.settings->askPassword);
    read = ReadTerminalSettings({"--password", "flag-pass", "--screenshots", "/tmp/shots"});
    ASSERT_TRUE(read.settings) << read.text;
    EXPECT_EQ("flag-pass", read.settings->password);
    read = ReadTerminalSettings({"--screenshots", "/tmp/shots"});
    ASSERT_TRUE(read.settings) << read.text;
    EXPECT_FALSE(read.settings->askPassword);  // unattended: no dialog
    wxRemoveFile(file);
    wxRemoveFile(secret);
}

TEST(TerminalSettings, BadInputIsRefusedWithAClearReasonAndHelpExplainsTheFlags) {
    SettingsResult read;
    for (const auto& [flag, value] : {std::pair{"--service", "127.0.0.1:99999"},
                                      {"--user-type", "dealer"},
                                      {"--settings", "/nonexistent/ipo.conf"}}) {
        read = ReadTerminalSettings({flag, value});
        EXPECT_FALSE(read.settings);
        EXPECT_NE(std::string::npos, read.text.find(value)) << read.text;
    }
    // A flag it does not know, or one without its value, is named on one line.
    for (const auto& [words, said] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--bogus"}, "unknown flag --bogus (see --help)"},
             {{"--dealer", "--bogus=1"}, "unknown flag --bogus (see --help)"},
             {{"--service"}, "Option 'service' requires a value. (see --help)"}}) {
        read = ReadTerminalSettings(words);
        EXPECT_FALSE(read.settings);
        EXPECT_FALSE(read.help);
        EXPECT_EQ(said, read.text);
    }
    read = ReadTerminalSettings({"--version"});
    EXPECT_TRUE(read.help);
    EXPECT_EQ("ipo-terminal " IPO_VERSION, read.text);
    read = ReadTerminalSettings({"--password-file", "/nonexistent/secret"});
    EXPECT_FALSE(read.settings);
    EXPECT_EQ("The password file /nonexistent/secret cannot be read", read.text);
    read = ReadTerminalSettings({"--help"});
    EXPECT_TRUE(read.help);
    for (const char* flag :
         {"--user-type", "--user-id", "--client-id", "--client-code", "--service", "--working-dir",
          "--settings", "--screenshots", "--password", "--password-file"}) {
        EXPECT_NE(std::string::npos, read.text.find(flag)) << flag;
    }
}

}  // namespace
