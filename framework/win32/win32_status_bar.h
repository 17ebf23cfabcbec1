// The status bar of a frame on the common status bar: the standard one, or the owner-drawn one
// that paints its panes through a fw::StatusBarPainter after the standard painting.
#pragma once

#include <vector>

#include "framework/document.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class Win32StatusBar : public StatusBar {
  public:
    Win32StatusBar(HWND frame, StatusBarKind kind, StatusBarPainter* painter);
    ~Win32StatusBar();
    Win32StatusBar(const Win32StatusBar&) = delete;
    Win32StatusBar& operator=(const Win32StatusBar&) = delete;

    HWND window() const { return bar_; }
    // Follows the frame's new size: docks at the bottom and shares the width out again.
    void Resize();
    int Height() const;

    bool SetPaneCount(int count) override;
    int PaneCount() const override { return static_cast<int>(widths_.size()); }
    void SetPaneInfo(int pane, int commandId, int style, int width) override;
    void SetPaneText(int pane, std::string_view text) override;
    std::string PaneText(int pane) const override;
    Rect ItemRect(int pane) const override;
    Rect ClientRect() const override;

  private:
    static LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclass, DWORD_PTR data);
    void ApplyWidths();

    HWND bar_;
    StatusBarPainter* painter_;
    std::vector<int> widths_;  // -1 for the pane that stretches
};

}  // namespace fw::win32
