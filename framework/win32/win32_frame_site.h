// The backend's part of a frame that holds one form: a top-level window the form fills above an
// optional status bar. The host decides what closing the frame means.
#pragma once

#include <functional>
#include <memory>

#include "framework/document.h"
#include "framework/win32/win32_status_bar.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class Win32FrameSite : public FrameSite {
  public:
    Win32FrameSite();  // a hidden frame window of its own
    ~Win32FrameSite();
    Win32FrameSite(const Win32FrameSite&) = delete;
    Win32FrameSite& operator=(const Win32FrameSite&) = delete;

    HWND frame() const { return frame_; }
    // Places the form's window in the frame; `formSize` is the size its layout asks for.
    void SetForm(HWND form, Size formSize);
    // What the frame's close box does (the host closes the document and its views); without
    // one, the frame closes.
    void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
    Win32StatusBar* statusBar() const { return statusBar_.get(); }

    // --- FrameSite ---
    void SetTitle(std::string_view title) override;
    void RemoveMaximizeBox() override;
    Size WindowSize() const override;
    void FitToForm() override;
    void RecalcLayout() override;
    StatusBar* CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) override;
    void* NativeHandle() override { return frame_; }
    void PostClose() override;
    bool HasWindow() const override { return frame_ != nullptr; }
    void CloseFrame() override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND frame_ = nullptr;
    HWND form_ = nullptr;
    Size formSize_{};
    std::unique_ptr<Win32StatusBar> statusBar_;
    std::function<void()> closeHandler_;
};

}  // namespace fw::win32
