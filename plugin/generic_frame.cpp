#include "plugin/generic_frame.h"

#include <memory>

#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"
#include "plugin/user_type.h"
#include "ui/gui_status_bar.h"

namespace {

// The user type whose frames carry the flat owner-drawn bar.
constexpr uint16_t kOwnerDrawnBarUserType = kInvestorUserType;

fw::CObject* CreateGenericFrame() {
    return new CIPOGenericFrame;
}

}  // namespace

struct CIPOGenericFrame::Bars {
    fw::StatusBar* standard = nullptr;
    fw::StatusBar* ownerDrawn = nullptr;
    CGuiStatusBar painter;
};

CIPOGenericFrame::CIPOGenericFrame() : bars_(std::make_unique<Bars>()) {}

CIPOGenericFrame::~CIPOGenericFrame() = default;

fw::StatusBar* CIPOGenericFrame::ChosenBar() const {
    return Login().UserType == kOwnerDrawnBarUserType ? bars_->ownerDrawn : bars_->standard;
}

bool CIPOGenericFrame::CreateStatusBar(int panes) {
    if (!site()) {
        return false;
    }
    const bool ownerDrawn = Login().UserType == kOwnerDrawnBarUserType;
    fw::StatusBar* bar =
        ownerDrawn ? site()->CreateStatusBar(fw::StatusBarKind::OwnerDrawn, &bars_->painter)
                   : site()->CreateStatusBar(fw::StatusBarKind::Standard, nullptr);
    (ownerDrawn ? bars_->ownerDrawn : bars_->standard) = bar;
    if (!bar || panes > fw::kMaxStatusPanes || !bar->SetPaneCount(panes)) {
        return false;
    }
    for (int pane = 0; pane < panes; ++pane) {
        bar->SetPaneInfo(pane, 0, 0, 0);
        bar->SetPaneText(pane, "");
    }
    site()->RecalcLayout();
    return true;
}

void CIPOGenericFrame::SetStatusPaneText(int pane, std::string_view text) {
    if (fw::StatusBar* bar = ChosenBar()) {
        bar->SetPaneText(pane, text);
    }
}

void CIPOGenericFrame::SetStatusPaneInfo(int pane, int commandId, int style, int width) {
    if (fw::StatusBar* bar = ChosenBar()) {
        bar->SetPaneInfo(pane, commandId, style, width);
    }
}

void CIPOGenericFrame::OnClose() {
    if (fw::CView* view = activeView()) {
        view->OnUserMessage(kFrameClosingMessage);
    }
    if (site() && site()->HasWindow()) {
        site()->CloseFrame();
    }
}

void CIPOGenericFrame::ReportSize(int width, int height) {
    ReportFrameSize(site() ? site()->NativeHandle() : nullptr, width, height);
}

const fw::RuntimeClass& GenericFrameClass() {
    static const fw::RuntimeClass runtimeClass{"CIPOGenericFrame", &CreateGenericFrame};
    return runtimeClass;
}
