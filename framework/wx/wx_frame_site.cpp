#include "framework/wx/wx_frame_site.h"

#include "framework/wx/wx_status_bar.h"
#include "framework/wx/wx_text.h"

namespace fw::wx {

WxFrameSite::WxFrameSite(wxFrame* frame)
    : frame_(frame),
      sizer_(new wxBoxSizer(wxVERTICAL)),
      self_(std::make_shared<WxFrameSite*>(this)) {
    frame_->SetSizer(sizer_);
    std::shared_ptr<WxFrameSite*> self = self_;
    wxFrame* watched = frame;
    frame_->Bind(wxEVT_DESTROY, [self, watched](wxWindowDestroyEvent& event) {
        event.Skip();
        if (*self && event.GetEventObject() == watched) {
            (*self)->frame_ = nullptr;
            (*self)->form_ = nullptr;
            (*self)->statusBar_ = nullptr;
        }
    });
}

WxFrameSite::~WxFrameSite() {
    *self_ = nullptr;
}

void WxFrameSite::SetForm(wxWindow* form, Size formSize) {
    form_ = form;
    formSize_ = formSize;
    if (frame_ && form) {
        sizer_->Insert(0, form, 1, wxEXPAND);
        frame_->Layout();
    }
}

void WxFrameSite::SetTitle(std::string_view title) {
    if (frame_) {
        frame_->SetTitle(ToWx(title));
    }
}

void WxFrameSite::RemoveMaximizeBox() {
    if (frame_) {
        frame_->SetWindowStyleFlag(frame_->GetWindowStyleFlag() & ~wxMAXIMIZE_BOX);
    }
}

Size WxFrameSite::WindowSize() const {
    if (!frame_) {
        return {};
    }
    const wxSize size = frame_->GetSize();
    return {size.x, size.y};
}

void WxFrameSite::FitToForm() {
    if (!frame_ || !form_) {
        return;
    }
    wxSize client(formSize_.width, formSize_.height);
    if (statusBar_) {
        client.y += statusBar_->GetSize().y;
    }
    frame_->SetClientSize(client);
    frame_->Layout();
}

void WxFrameSite::RecalcLayout() {
    if (frame_) {
        frame_->Layout();
    }
}

StatusBar* WxFrameSite::CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) {
    if (!frame_) {
        return nullptr;
    }
    if (statusBar_) {
        sizer_->Detach(statusBar_);
        statusBar_->Destroy();
    }
    statusBar_ = new FwStatusBar(frame_, kind, painter);
    if (form_) {
        statusBar_->SetFont(form_->GetFont());  // the panes are measured in the form's font
    }
    sizer_->Add(statusBar_, 0, wxEXPAND);
    frame_->Layout();
    frame_->Refresh();
    return statusBar_;
}

void WxFrameSite::PostClose() {
    if (frame_) {
        wxFrame* frame = frame_;
        frame->CallAfter([frame] { frame->Close(); });
    }
}

void WxFrameSite::CloseFrame() {
    if (!frame_ || !closeHandler_) {
        return;
    }
    std::shared_ptr<WxFrameSite*> self = self_;
    frame_->CallAfter([self] {
        if (*self && (*self)->closeHandler_) {
            (*self)->closeHandler_();
        }
    });
}

}  // namespace fw::wx
