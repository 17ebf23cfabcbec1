// The desktop terminal on Win32: a main window with the IPO menu, a message log and a status
// line; the plug-in's windows are frames of their own in front of it. What it does lies in
// TerminalCore.
#pragma once

#include <memory>
#include <string>

#include "framework/win32/win32_backend.h"
#include "host/terminal_core.h"
#include "host/win32/win32_doc_template.h"

class Win32Terminal : public TerminalPlatform {
  public:
    Win32Terminal(TerminalSettings settings, const std::string& programFolder);
    ~Win32Terminal() override;
    Win32Terminal(const Win32Terminal&) = delete;
    Win32Terminal& operator=(const Win32Terminal&) = delete;

    TerminalCore& core() { return core_; }
    fw::win32::Win32Backend& backend() { return backend_; }
    HWND mainWindow() const { return main_; }
    Win32DocTemplate* TemplateFor(uint32_t menuId) const;
    std::string StatusText(int field) const;
    bool MenuItemEnabled(int id) const;

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
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    // Where a plug-in window opens, in screen coordinates: over the message log, as tabs of the
    // main window do on Linux, cascaded below the windows open already.
    RECT PluginArea() const;

    fw::win32::Win32Backend backend_;
    HWND main_ = nullptr;
    HWND log_ = nullptr;
    HWND status_ = nullptr;
    TerminalCore core_;  // after the backend it shows its dialogs with
};

// Runs the terminal's messages (with the forms' keyboard handling) until its main window is gone.
void RunTerminalMessages(const Win32Terminal& terminal);
