// What the desktop terminal does apart from its windows: its menu, the sign-in (settings or
// dialog), loading the plug-in and handing it the templates of its windows, the message log (a
// file and the log pane), the main window's place between runs, and signing out at the end.
// Each platform's terminal supplies the windows (TerminalPlatform) and calls in here.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/document.h"
#include "host/client_directory.h"
#include "host/host_messages.h"
#include "host/plugin_host.h"
#include "host/sign_in_dialog.h"
#include "host/terminal_folders.h"
#include "host/terminal_settings.h"

// The main window's menu: File > Exit, IPO > the plug-in's two commands, Help > About.
constexpr int kMenuExit = 10001;
constexpr int kMenuAbout = 10002;
struct TerminalMenuItem {
    int id;
    const char* text;
};
struct TerminalMenu {
    const char* title;
    std::vector<TerminalMenuItem> items;
};
const std::vector<TerminalMenu>& TerminalMenus();
constexpr uint32_t kPluginMenus[] = {kMenuIPOWatch, kMenuIPOOrderBook};

// A plug-in menu command's document template, as a platform's windows open its windows. Its
// slots come after the one the plug-in calls, so the terminal may delete it through this class.
class PluginWindows : public fw::DocTemplate {
  public:
    virtual ~PluginWindows() = default;
    // Opens a new window of the command; false with the reason when it cannot.
    virtual bool OpenWindow(std::string& error) = 0;
};

// The message a plug-in window's frame sends its active view when it is asked to close.
constexpr uint32_t kFrameClosingMessage = 1277;

// The main window's place on the screen.
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// What a platform's terminal provides.
class TerminalPlatform {
  public:
    virtual ~TerminalPlatform() = default;
    virtual void BuildMainWindow() = 0;
    // Closes the main window as its close box does; the platform then calls MainWindowClosing.
    virtual void CloseMainWindow() = 0;
    virtual WindowPlace MainWindowPlace() const = 0;
    // Puts the main window there, within the screen.
    virtual void PlaceMainWindow(const WindowPlace& place) = 0;
    virtual void AddLogLine(const std::string& line) = 0;
    virtual void SetStatusText(int field, const std::string& text) = 0;
    virtual void EnableMenuItem(int id, bool enabled) = 0;
    virtual void ShowAbout(const std::string& text) = 0;
    virtual std::unique_ptr<PluginWindows> MakeTemplate(const MenuWindowClasses& classes) = 0;
    // Sets a variable of the process's environment, which the companion library reads.
    virtual void SetEnvironment(const std::string& name, const std::string& value) = 0;
};

class TerminalCore : public TerminalLog {
  public:
    // `programFolder` is the executable's folder: the plug-in lies there or in the installed
    // plug-in folder beside it (see FindTerminalFolders).
    TerminalCore(TerminalSettings settings, const std::string& programFolder,
                 TerminalPlatform& platform, fw::Backend& backend);
    ~TerminalCore() override;
    TerminalCore(const TerminalCore&) = delete;
    TerminalCore& operator=(const TerminalCore&) = delete;

    // Shows the main window, signs in at the IPO service, loads the plug-in and enables its
    // two menu commands. Without a password it asks in the sign-in dialog; false when the user
    // cancelled it (the main window is closing then). A failed sign-in with a given password or
    // a missing plug-in is reported and the terminal runs without the IPO menu.
    bool Start();
    // Does what a menu command of TerminalMenus says.
    void OnMenuCommand(int id);
    // Opens a window of a plug-in menu command (10502, 10503); false when it cannot.
    bool Open(uint32_t menuId);
    // Closes the main window; during the sign-in, ends the dialog as Cancel does.
    void Exit();
    // The main window is closing: its place is kept, the plug-in's windows close, the plug-in
    // is cleaned up and the session ends. Once.
    void MainWindowClosing();

    bool pluginLoaded() const { return plugin_.IsLoaded(); }
    bool signedIn() const { return !settings_.token.empty(); }
    const TerminalSettings& settings() const { return settings_; }
    const PluginHost& plugin() const { return plugin_; }
    PluginWindows* TemplateFor(uint32_t menuId) const;
    const std::vector<std::string>& messages() const { return messages_; }
    const TerminalFolders& folders() const { return folders_; }

    // --- TerminalLog ---
    void ShowMessage(const std::string& text) override;
    void ShowClientInUse(const std::string& clientId, const std::string& clientCode) override;

  private:
    static int OnHostMessage(void* record);
    static int OnSizeRequest(void*, WindowSize, int, int, int);
    void OpenLogFile();
    // Signs in as the dialog or the settings give; empty on success, else the reason.
    std::string TrySignIn(const SignInEntry& entry);
    void SignOutOfService();
    void LoadPlugin();
    void EnablePluginMenus();
    std::string GeometryFile() const;
    void RestoreGeometry();
    void SaveGeometry();
    void Stop();

    TerminalSettings settings_;
    TerminalFolders folders_;
    TerminalPlatform& platform_;
    fw::Backend& backend_;
    std::ofstream logFile_;
    ServiceClientDirectory clients_;
    HostMessages hostMessages_;
    PluginHost plugin_;
    std::map<uint32_t, std::unique_ptr<PluginWindows>> templates_;
    std::vector<std::string> messages_;
    bool stopped_ = false;
    bool windowUp_ = false;
    SignInDialog* signIn_ = nullptr;  // the sign-in dialog while it is up
};
