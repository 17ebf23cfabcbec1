#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <string>

#include "framework/user_driver.h"
#include "framework/wx/wx_status_bar.h"
#include "framework/wx/wx_user.h"
#include "framework/wx/wx_user_actions.h"
#include "framework/wx/x_input.h"
#include "host/sign_in.h"
#include "host/terminal.h"
#include "service_harness.h"

namespace {

namespace fs = std::filesystem;

// Lets wx run until `done` holds, for at most ten seconds; whether it held.
bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    wxGUIEventLoop loop;
    wxTimer check;
    check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (done() || std::chrono::steady_clock::now() > deadline) {
            loop.ScheduleExit();
        }
    });
    check.Start(10);
    loop.Run();
    return done();
}

bool NoWindowLeft() {
    return wxTopLevelWindows.IsEmpty();
}

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

constexpr fs::perms kPrivateFolder = fs::perms::owner_all;
constexpr fs::perms kPrivateFile = fs::perms::owner_read | fs::perms::owner_write;

// Whether the service's log comes to hold `text` within ten seconds (it writes after answering).
bool LogSays(const std::string& log, const std::string& text) {
    for (int tries = 0; tries < 200; ++tries) {
        if (FileText(log).find(text) != std::string::npos) {
            return true;
        }
        usleep(50'000);
    }
    return false;
}

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
        if (service) {
            settings.service = service->Endpoint();
        }
        settings.service.port = port;
        if (settings.password.empty()) {
            settings.password = harness::SeededPassword(settings.userId);
        }
        terminal = std::make_unique<Terminal>(settings, folder);
        terminal->Start();
        // Placed, framed and made active by the window manager.
        ASSERT_TRUE(WaitFor([this] {
            return fw::wx::x::ActiveWindow() ==
                   fw::wx::x::XWindowOf(terminal->frame()->GetHandle());
        }));
    }
    // Starts a terminal without a password against a service of its own; `user` acts in the
    // sign-in dialog. Whether the terminal went on (signed in or not) rather than quitting.
    bool StartWithSignInDialog(const std::function<void(fw::UserDriver&)>& act) {
        TerminalSettings settings;
        StartService();
        settings.service = service->Endpoint();
        settings.askPassword = true;
        terminal = std::make_unique<Terminal>(settings, harness::BinDir());
        fw::wx::WxUser ui;
        fw::UserDriver user(ui);
        bool started = false;
        user.Run([&](fw::UserDriver& user) {
            user.OnUi([&] { started = terminal->Start(); });
            ASSERT_TRUE(user.Use(kSignInCaption));
            act(user);
        });
        return started;
    }
    void TearDown() override {
        if (terminal) {
            terminal->Exit();
            EXPECT_TRUE(WaitFor(NoWindowLeft));
            terminal.reset();
        }
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
    EXPECT_NE(
        std::string::npos,
        FileText(folders.working + "/IPOTermsAndConditions.html").find("Terms and Conditions"));
    EXPECT_TRUE(std::filesystem::is_symlink(folders.working + "/Corvexdll64.so"));
    EXPECT_NE(std::string::npos, terminal->messages().back().find("loaded; user INV001"));
    // "YYYY-MM-DD HH:MM:SS  text"
    const std::string log = FileText(folders.state + "/terminal.log");
    const std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
    EXPECT_TRUE(std::regex_match(last, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  .*\n)")))
        << last;
    EXPECT_EQ("  " + terminal->messages().back() + "\n", last.substr(19));
}

// A user types into the sign-in dialog through the X server: a wrong password is said in the
// dialog, which stays open; the right one signs in as whoever was typed, with the user type and
// login client the service names; the user id and the address are kept, private to the user.
TEST_F(TerminalTest, TheSignInDialogShowsARefusalAndTakesAnotherTry) {
    const bool started = StartWithSignInDialog([&](fw::UserDriver& user) {
        EXPECT_EQ("INV001", user.Text(kSignInUserId));
        EXPECT_EQ(service->Address(), user.Text(kSignInService));
        user.Type(kSignInUserId, "DEALER01");
        user.Type(kSignInPassword, "not-the-password");
        user.Click(kSignInButton);
        EXPECT_EQ("Wrong user id or password", user.Text(kSignInProblem));
        EXPECT_EQ("", user.Text(kSignInPassword));
        user.Type(kSignInPassword, harness::SeededPassword("DEALER01"));
        user.Press(fw::Key::Enter);
        EXPECT_TRUE(user.WaitUntil([&](fw::UserActions&) { return terminal->pluginLoaded(); }));
    });
    EXPECT_TRUE(started);
    EXPECT_TRUE(terminal->signedIn());
    const std::vector<std::string>& said = terminal->messages();
    EXPECT_NE(said.end(),
              std::ranges::find(said, "Sign-in failed for DEALER01 at " + service->Address() +
                                          ": Wrong user id or password; the IPO "
                                          "menu stays disabled"));
    EXPECT_NE(std::string::npos, said.back().find("loaded; user DEALER01 (type 24)"))
        << said.back();
    const std::string kept = UserSettingsFile();
    EXPECT_NE(std::string::npos, FileText(kept).find("user_id=DEALER01")) << FileText(kept);
    EXPECT_EQ(kPrivateFile, fs::status(kept).permissions());
    EXPECT_EQ(kPrivateFolder, fs::status(fs::path(kept).parent_path()).permissions());
}

TEST_F(TerminalTest, CancellingTheSignInQuitsTheTerminal) {
    const bool started = StartWithSignInDialog([&](fw::UserDriver& user) {
        user.Click("Cancel");
        EXPECT_TRUE(user.WaitUntil([](fw::UserActions&) { return NoWindowLeft(); }));
    });
    EXPECT_FALSE(started);
    EXPECT_FALSE(terminal->signedIn());
    EXPECT_EQ(nullptr, terminal->frame());
}

// A password is never sent in clear beyond loopback. The terminal as the desktop starts it,
// ended by SIGTERM (a session logout), signs out and exits normally; what it made is private to
// the user even under a permissive umask.
TEST(TerminalProgram, SigtermSignsOutAndItsFilesArePrivate) {
    harness::ScratchFolder scratch;
    const std::string log = scratch.folder + "/access.log";
    harness::ServiceProcess service({"--log", log});
    const std::string password = scratch.folder + "/password";
    std::ofstream(password) << harness::SeededPassword("INV001") << "\n";
    fs::permissions(password, fs::perms::owner_read | fs::perms::owner_write);
    const std::string port = std::to_string(service.Port());
    // 0.0.0.0 reaches this machine's loopback, but is not a loopback address by name.
    ServiceEndpoint endpoint;
    std::string error;
    ASSERT_TRUE(ParseServiceAddress("http://0.0.0.0:" + port, endpoint, error));
    EXPECT_FALSE(SignIn(endpoint, "INV026", harness::SeededPassword("INV026"), error));
    EXPECT_EQ("The password of INV026 is not sent in clear text to 0.0.0.0:" + port +
                  ": give the service address as https://0.0.0.0:" + port +
                  ", with the CA file that signed its certificate (--ca-file, or ca_file in the "
                  "terminal's settings) unless the system trusts it",
              error);
    const std::string address = "127.0.0.1:" + port;
    const pid_t child = fork();
    if (child == 0) {
        umask(0);
        setenv("XDG_DATA_HOME", (scratch.folder + "/data").c_str(), 1);
        setenv("XDG_STATE_HOME", (scratch.folder + "/state").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (scratch.folder + "/config").c_str(), 1);
        const std::string program = harness::BinDir() + "/ipo-terminal";
        execl(program.c_str(), program.c_str(), "--service", address.c_str(), "--password-file",
              password.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    EXPECT_TRUE(LogSays(log, "POST /session status=200"));
    kill(child, SIGTERM);
    int status = -1;
    for (int tries = 0; tries < 200 && waitpid(child, &status, WNOHANG) == 0; ++tries) {
        usleep(50'000);
    }
    if (status == -1) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(LogSays(log, "DELETE /session status=200")) << FileText(log);
    EXPECT_EQ(std::string::npos, FileText(log).find("INV026")) << FileText(log);
    for (const std::string made :
         {"/data", "/data/ipo-terminal", "/data/ipo-terminal/Upload", "/state/ipo-terminal"}) {
        EXPECT_EQ(kPrivateFolder, fs::status(scratch.folder + made).permissions()) << made;
    }
    for (const std::string made :
         {"/state/ipo-terminal/terminal.log", "/data/ipo-terminal/IPOTermsAndConditions.html"}) {
        EXPECT_EQ(kPrivateFile, fs::status(scratch.folder + made).permissions()) << made;
    }
}

TEST_F(TerminalTest, OpensBothWindowsAndClosesThemOnExit) {
    // Without a saved geometry the window keeps the size it opens with.
    fs::remove(FindTerminalFolders(harness::BinDir(), "").state + "/terminal.ini");
    StartTerminal(StartService());
    const wxSize before = terminal->frame()->GetSize();
    HostWindow* watch = terminal->Open(kMenuIPOWatch);
    HostWindow* book = terminal->Open(kMenuIPOOrderBook);
    ASSERT_NE(nullptr, watch);
    ASSERT_NE(nullptr, book);
    ASSERT_TRUE(WaitFor([book] { return book->child->IsShownOnScreen(); }));
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
    EXPECT_TRUE(
        WaitFor([this] { return terminal->TemplateFor(kMenuIPOWatch)->windows().empty(); }));
    terminal->Exit();
    EXPECT_TRUE(WaitFor(NoWindowLeft));
    EXPECT_EQ(nullptr, terminal->frame());
}

// The main window opens where the trader left it.
TEST_F(TerminalTest, KeepsItsWindowGeometryBetweenRuns) {
    StartTerminal(StartService());
    terminal->frame()->SetSize(90, 60, 900, 700);
    ASSERT_TRUE(WaitFor([this] { return terminal->frame()->GetSize() == wxSize(900, 700); }));
    const wxRect left = terminal->frame()->GetRect();
    terminal->Exit();
    ASSERT_TRUE(WaitFor(NoWindowLeft));
    terminal.reset();
    StartTerminal(service->Port());
    EXPECT_TRUE(WaitFor([&] { return terminal->frame()->GetRect() == left; }))
        << terminal->frame()->GetRect().width << "x" << terminal->frame()->GetRect().height;
}

TEST_F(TerminalTest, MissingPluginIsReportedAndTheTerminalStillStarts) {
    harness::ScratchFolder empty;
    StartTerminal(StartService(), empty.folder);
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
}

TEST(TerminalSettings, TheUsersFileThenTheNamedFileThenFlagsDecide) {
    SettingsResult read = ReadTerminalSettings({});
    ASSERT_TRUE(read.settings);
    EXPECT_EQ("INV001", read.settings->userId);
    EXPECT_EQ("http://127.0.0.1:8450/ipo/watchlist", read.settings->ServiceURL(91));
    EXPECT_EQ("", read.settings->ServiceURL(97));
    EXPECT_TRUE(read.settings->askPassword);
    // Signed in, each URL carries the token; the longest (43-character token) fits the
    // plug-in's 255 characters with room for a long host name.
    read.settings->token = std::string(43, 'T');
    EXPECT_EQ(81u, read.settings->LongestServiceURL());

    harness::ScratchFolder scratch;
    const std::string users = scratch.folder + "/users.conf";
    const std::string named = scratch.folder + "/named.conf";
    const std::string secret = scratch.folder + "/secret";
    std::ofstream(users) << "user_id=U26\nservice=https://ipo.example:9443\nca_file=ca.pem\n";
    std::ofstream(named) << "service=10.0.0.5:9000\nworking_directory=/opt/ipo\n";
    std::ofstream(secret) << "pass word 1\nsecond line\n";
    fs::permissions(secret, fs::perms::owner_read);
    read = ReadTerminalSettings({"--user-id", "FLAG", "--password-file", secret}, users);
    ASSERT_TRUE(read.settings) << read.text;
    EXPECT_EQ("FLAG", read.settings->userId);
    EXPECT_EQ("https://ipo.example:9443/ipo/order", read.settings->ServiceURL(94));
    EXPECT_EQ(fs::absolute("ca.pem").string(), read.settings->service.caFile);
    EXPECT_EQ("pass word 1", read.settings->password);
    EXPECT_FALSE(read.settings->askPassword);
    read = ReadTerminalSettings({"--settings", named, "--screenshots", "/tmp/shots"}, users);
    ASSERT_TRUE(read.settings) << read.text;
    EXPECT_EQ("U26", read.settings->userId);
    EXPECT_EQ("http://10.0.0.5:9000/ipo/order", read.settings->ServiceURL(94));
    EXPECT_EQ("/opt/ipo", read.settings->workingDirectory);
    EXPECT_FALSE(read.settings->askPassword);  // unattended: no dialog
}

// Only this machine's loopback, by name or by number, takes a password over plain http.
TEST(ServiceEndpoint, APasswordGoesInClearOnlyToLoopback) {
    for (const auto& [address, clear] : {std::pair{"localhost:1", true},
                                         {"127.0.0.2:1", true},
                                         {"http://[::1]:1", true},
                                         {"127.attacker.example:1", false},
                                         {"10.0.0.5:1", false},
                                         {"https://10.0.0.5:1", true}}) {
        ServiceEndpoint endpoint;
        std::string error;
        ASSERT_TRUE(ParseServiceAddress(address, endpoint, error)) << error;
        EXPECT_EQ(clear, CleartextRefusal(endpoint, "INV001").empty()) << address;
    }
}

TEST(TerminalSettings, BadInputIsRefusedWithAClearReasonAndHelpExplainsTheFlags) {
    SettingsResult read;
    for (const auto& [flag, value] : {std::pair{"--service", "127.0.0.1:99999"},
                                      {"--service", "ftp://ipo.example:21"},
                                      {"--settings", "/nonexistent/ipo.conf"}}) {
        read = ReadTerminalSettings({flag, value});
        EXPECT_FALSE(read.settings);
        EXPECT_NE(std::string::npos, read.text.find(value)) << read.text;
    }
    // A flag it does not know, or one without its value, is named on one line.
    for (const auto& [words, said] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--bogus"}, "unknown flag --bogus (see --help)"},
             {{"--user-id", "X", "--dealer"}, "unknown flag --dealer (see --help)"},
             {{"--service"}, "--service: 1 required ADDRESS missing (see --help)"}}) {
        read = ReadTerminalSettings(words);
        EXPECT_FALSE(read.settings);
        EXPECT_FALSE(read.help);
        EXPECT_EQ(said, read.text);
    }
    harness::ScratchFolder scratch;
    const std::string garbled = scratch.folder + "/garbled.conf";
    std::ofstream(garbled) << "# comment\nuser_id = U7\nservice\n";
    read = ReadTerminalSettings({"--settings", garbled});
    EXPECT_EQ("Line 3 of the settings file " + garbled + " is not key=value", read.text);
    read = ReadTerminalSettings({"--version"});
    EXPECT_TRUE(read.help);
    EXPECT_EQ("ipo-terminal " IPO_VERSION, read.text);
    read = ReadTerminalSettings({"--password-file", "/nonexistent/secret"});
    EXPECT_FALSE(read.settings);
    EXPECT_EQ("The password file /nonexistent/secret cannot be read", read.text);
    const std::string shared = scratch.folder + "/shared";
    std::ofstream(shared) << "secret\n";
    fs::permissions(shared, fs::perms::owner_read | fs::perms::group_read);
    read = ReadTerminalSettings({"--password-file", shared});
    EXPECT_FALSE(read.settings);
    EXPECT_EQ("The password file " + shared +
                  " can be read by other users; make it private (chmod 600 " + shared + ")",
              read.text);
    read = ReadTerminalSettings({"--help"});
    EXPECT_TRUE(read.help);
    EXPECT_NE(std::string::npos, read.text.find("places one bid (two lots at the cut-off price) "
                                                "and cancels it again"));
}

}  // namespace
