// The Windows terminal's document template for one plug-in menu command: it opens the command's
// windows as frames owned by the main window, over its message log (frame and view made by the
// plug-in's runtime classes, the form from the resource table) and closes them again.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win32/win32_backend.h"
#include "framework/win32/win32_frame_site.h"
#include "host/terminal_core.h"

// One open plug-in window and everything it is made of.
struct Win32HostWindow {
    std::unique_ptr<fw::win32::Win32FrameSite> site;
    std::unique_ptr<fw::CFrameWnd> frame;
    std::unique_ptr<fw::CView> view;
    std::unique_ptr<fw::win32::Win32Form> form;
};

class Win32DocTemplate final : public PluginWindows {
  public:
    // `place` gives where a new window opens (screen coordinates).
    Win32DocTemplate(MenuWindowClasses classes, HWND owner, fw::win32::Win32Backend& backend,
                     std::function<RECT()> place);
    ~Win32DocTemplate() override;
    Win32DocTemplate(const Win32DocTemplate&) = delete;
    Win32DocTemplate& operator=(const Win32DocTemplate&) = delete;

    // --- PluginWindows ---
    bool OpenWindow(std::string& error) override;
    void CloseAllDocuments(bool endSession) override;

    const std::vector<std::unique_ptr<Win32HostWindow>>& windows() const { return windows_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The user closes a frame: its view is told first, the window closes once that is done.
    void OnFrameClose(Win32HostWindow* window);
    void Close(Win32HostWindow* window);
    void PlaceFrame(HWND frame) const;

    MenuWindowClasses classes_;
    HWND owner_;
    fw::win32::Win32Backend& backend_;
    std::function<RECT()> place_;
    HWND closer_ = nullptr;  // a message-only window: closes a frame after its close message
    std::vector<std::unique_ptr<Win32HostWindow>> windows_;
};
