// The desktop terminal: an MDI main window with the IPO menu, a message log and a status line,
// hosting the plug-in exactly as the trading terminal does.
#pragma once

#include <wx/fileconf.h>
#include <wx/mdi.h>
#include <wx/textctrl.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/wx/wx_backend.h"
#include "host/client_directory.h"
#include "host/host_doc_template.h"
#include "host/host_messages.h"
#include "host/plugin_host.h"
#include "host/sign_in_dialog.h"
#include "host/terminal_folders.h"
#include "host/terminal_settings.h"

class Terminal : public TerminalLog {
  public:
    // `programFolder` is the executable's folder: the plug-in lies there or in the installed
    // plug-in folder beside it (see FindTerminalFolders).
    Terminal(TerminalSettings settings, std::string programFolder);
    ~Terminal() override;
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Shows the main window, signs in at the IPO service, loads the plug-in and registers its
    // two menu commands. Without a password it asks in the sign-in dialog; false when the user
    // cancelled it (the terminal is closing then). A failed sign-in with a given password or a
    // missing plug-in is reported and the terminal runs without the IPO menu.
    bool Start();
    // Opens a window of a plug-in menu command (10502, 10503); null when it cannot.
    HostWindow* Open(uint32_t menuId);
    // Closes the plug-in's windows, cleans the plug-in up and closes the main window; during
    // the sign-in, ends the dialog as Cancel does.
    void Exit();

    wxMDIParentFrame* frame() const { return frame_; }
    bool pluginLoaded() const { return plugin_.IsLoaded(); }
    bool signedIn() const { return !settings_.token.empty(); }
    const PluginHost& plugin() const { return plugin_; }
    HostDocTemplate* TemplateFor(uint32_t menuId) const;
    const std::vector<std::string>& messages() const { return messages_; }
    const TerminalFolders& folders() const { return folders_; }
    std::string StatusText(int field) const;

    // --- TerminalLog ---
    void ShowMessage(const std::string& text) override;
    void ShowClientInUse(const std::string& clientId, const std::string& clientCode) override;

  private:
    static int OnHostMessage(void* record);
    static int OnSizeRequest(void*, WindowSize, int, int, int);
    void BuildMainWindow();
    // Signs in as the dialog or the settings give; empty on success, else the reason.
    std::string TrySignIn(const SignInEntry& entry);
    void SignOutOfService();
    void LoadPlugin();
    void EnablePluginMenus();
    void ShowAbout();
    void OpenLogFile();
    void KeepGeometry();
    void SaveGeometry();
    void OnMainClose(wxCloseEvent& event);

    TerminalSettings settings_;
    TerminalFolders folders_;
    std::ofstream logFile_;
    std::unique_ptr<wxFileConfig> geometry_;  // the main window's place, between runs
    fw::wx::WxBackend backend_;
    ServiceClientDirectory clients_;
    HostMessages hostMessages_;
    PluginHost plugin_;
    std::map<uint32_t, std::unique_ptr<HostDocTemplate>> templates_;
    wxMDIParentFrame* frame_ = nullptr;
    wxTextCtrl* log_ = nullptr;
    std::vector<std::string> messages_;
    bool stopped_ = false;
    SignInDialog* signIn_ = nullptr;  // the sign-in dialog while it is up
};
