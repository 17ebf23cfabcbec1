// The Windows terminal in real windows under Wine, against a native ipo-service on loopback: a
// user signs in through the dialog with input sent through the window system, the screenshot
// session opens every screen and places and cancels a bid, and the session ends at exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/user_driver.h"
#include "framework/win32/win32_user.h"
#include "host/screenshot_session.h"
#include "host/win32/win32_screen.h"
#include "host/win32/win32_terminal.h"
#include "service_harness.h"

namespace {

namespace fs = std::filesystem;

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Runs the terminal's messages until its main window is gone, at most ten seconds.
bool MainWindowCloses(const Win32Terminal& terminal) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (terminal.mainWindow() && std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!fw::win32::Win32Form::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return !terminal.mainWindow();
}

// Whether the service's log comes to hold `text` within five seconds (it writes after answering).
bool LogSays(const std::string& log, const std::string& text) {
    for (int tries = 0; tries < 100; ++tries) {
        if (FileText(log).find(text) != std::string::npos) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

TEST(Win32Terminal, SignsInThroughTheDialogRunsTheScreenshotSessionAndSignsOutAtExit) {
    harness::ScratchFolder scratch;
    const std::string log = scratch.folder + "/access.log";
    harness::ServiceProcess service({"--log", log});
    TerminalSettings settings;
    settings.service = service.Endpoint();
    settings.askPassword = true;
    settings.workingDirectory = scratch.folder + "/working";
    Win32Terminal terminal(settings, harness::BinDir());
    fw::win32::Win32User ui(terminal.backend());

    bool started = false;
    fw::UserDriver(ui).Run([&](fw::UserDriver& user) {
        user.OnUi([&] { started = terminal.core().Start(); });
        ASSERT_TRUE(user.Use(kSignInCaption));
        EXPECT_EQ("INV001", user.Text(kSignInUserId));
        EXPECT_EQ(service.Address(), user.Text(kSignInService));
        user.Type(kSignInPassword, "not-the-password");
        user.Click(kSignInButton);
        EXPECT_EQ("Wrong user id or password", user.Text(kSignInProblem));
        EXPECT_EQ("", user.Text(kSignInPassword));
        user.Type(kSignInPassword, harness::SeededPassword("INV001"));
        user.Press(fw::Key::Enter);
        EXPECT_TRUE(
            user.WaitUntil([&](fw::UserActions&) { return terminal.core().pluginLoaded(); }));
    });
    ASSERT_TRUE(started);
    EXPECT_TRUE(terminal.MenuItemEnabled(static_cast<int>(kMenuIPOWatch)));
    EXPECT_EQ(0u, terminal.StatusText(0).find("IPO plug-in ")) << terminal.StatusText(0);
    const std::vector<std::string>& said = terminal.core().messages();
    EXPECT_NE(said.end(),
              std::ranges::find(said, "Sign-in failed for INV001 at " + service.Address() +
                                          ": Wrong user id or password; the IPO "
                                          "menu stays disabled"));

    // The screenshots are kept in the build tree, for a person to look at.
    const std::string shots = IPO_SCREENSHOT_DIR;
    fs::remove_all(shots);
    ScreenshotSession session(terminal.core(), shots, SaveScreenAsPng);
    EXPECT_TRUE(session.Run(ui)) << Joined(terminal.core().messages());
    ASSERT_EQ(5u, session.saved().size());
    for (const std::string& path : session.saved()) {
        EXPECT_EQ("\x89PNG", FileText(path).substr(0, 4)) << path;
    }
    EXPECT_NE(std::string::npos, FileText(log).find("/ipo/cancel status=200")) << FileText(log);

    terminal.core().Exit();
    EXPECT_TRUE(MainWindowCloses(terminal));
    EXPECT_TRUE(LogSays(log, "DELETE /session status=200")) << FileText(log);
}

}  // namespace
