// The desktop terminal on wx: an MDI main window with the IPO menu, a message log and a status
// line, hosting the plug-in's windows as its tabs. What it does lies in TerminalCore.
#pragma once

#include <wx/mdi.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/wx/wx_backend.h"
#include "host/host_doc_template.h"
#include "host/terminal_core.h"

class Terminal : public TerminalPlatform {
  public:
    Terminal(TerminalSettings settings, const std::string& programFolder);
    ~Terminal() override;
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool Start() { return core_.Start(); }
    // Opens a window of a plug-in menu command (10502, 10503); null when it cannot.
    HostWindow* Open(uint32_t menuId);
    void Exit() { core_.Exit(); }

    TerminalCore& core() { return core_; }
    wxMDIParentFrame* frame() const { return frame_; }
    bool pluginLoaded() const { return core_.pluginLoaded(); }
    bool signedIn() const { return core_.signedIn(); }
    const PluginHost& plugin() const { return core_.plugin(); }
    HostDocTemplate* TemplateFor(uint32_t menuId) const;
    const std::vector<std::string>& messages() const { return core_.messages(); }
    const TerminalFolders& folders() const { return core_.folders(); }
    std::string StatusText(int field) const;

    // --- TerminalPlatform ---
    void BuildMainWindow() override;
    void CloseMainWindow() override;
    WindowPlace MainWindowPlace() const override;
    void PlaceMainWindow(const WindowPlace& place) override;
    void AddLogLine(const std::string& line) override;
    void SetStatusText(int field, const std::string& text) override;
    void EnableMenuItem(int id, bool enabled) override;
    void ShowAbout(const std::string& text) override;
    std::unique_ptr<PluginWindows> MakeTemplate(const MenuWindowClasses& classes) override;
    void SetEnvironment(const std::string& name, const std::string& value) override;

  private:
    void OnMainClose(wxCloseEvent& event);

    fw::wx::WxBackend backend_;
    wxMDIParentFrame* frame_ = nullptr;
    wxTextCtrl* log_ = nullptr;
    TerminalCore core_;  // after the backend it shows its dialogs with
};
