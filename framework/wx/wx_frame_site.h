// The backend's part of a frame that holds one form: the form fills the frame above an
// optional status bar. The host decides what closing the frame means.
#pragma once

#include <wx/frame.h>
#include <wx/sizer.h>

#include <functional>
#include <memory>

#include "framework/document.h"

namespace fw::wx {

class FwStatusBar;

class WxFrameSite : public FrameSite {
  public:
    explicit WxFrameSite(wxFrame* frame);
    ~WxFrameSite();
    WxFrameSite(const WxFrameSite&) = delete;
    WxFrameSite& operator=(const WxFrameSite&) = delete;

    // Places the form's window in the frame; `formSize` is the size its layout asks for.
    void SetForm(wxWindow* form, Size formSize);
    // What the base close handling does (the host closes the document and its views). It
    // runs after the current event, never inside the caller.
    void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
    wxFrame* frame() const { return frame_; }
    FwStatusBar* statusBar() const { return statusBar_; }

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
    wxFrame* frame_;
    wxBoxSizer* sizer_;
    wxWindow* form_ = nullptr;
    Size formSize_{};
    FwStatusBar* statusBar_ = nullptr;
    std::function<void()> closeHandler_;
    std::shared_ptr<WxFrameSite*> self_;  // cleared when the site goes, for late callbacks
};

}  // namespace fw::wx
