#include "host/host_doc_template.h"

#include <wx/app.h>

#include <algorithm>

HostDocTemplate::HostDocTemplate(MenuWindowClasses classes, wxMDIParentFrame* parent,
                                 fw::wx::WxBackend& backend)
    : classes_(classes), parent_(parent), backend_(backend) {}

HostDocTemplate::~HostDocTemplate() {
    CloseAllDocuments(true);
}

HostWindow* HostDocTemplate::OpenDocument(std::string& error) {
    PluginWindowParts parts;
    if (!MakePluginWindow(classes_, parts, error)) {
        return nullptr;
    }
    const fw::DialogTemplate* layout = parts.layout;
    fw::CFrameWnd* frame = parts.frame.get();
    fw::CView* view = parts.view.get();
    auto window = std::make_unique<HostWindow>();
    window->frame = std::move(parts.frame);
    window->view = std::move(parts.view);
    window->child = new wxMDIChildFrame(parent_, wxID_ANY,
                                        wxString::FromUTF8(layout->caption ? layout->caption : ""));
    window->site = std::make_unique<fw::wx::WxFrameSite>(window->child);
    HostWindow* opened = window.get();
    window->site->SetCloseHandler([this, opened] { Close(opened); });
    window->child->Bind(wxEVT_CLOSE_WINDOW,
                        [this, opened](wxCloseEvent& event) { OnChildClose(opened, event); });
    windows_.push_back(std::move(window));

    frame->AttachSite(opened->site.get());
    opened->form = backend_.CreateChildForm(opened->child, *layout, *view);
    opened->site->SetForm(opened->form->window(), opened->form->TemplateSize());
    view->AttachToFrame(opened->form.get(), frame);
    frame->SetActiveView(view);
    opened->child->Show();
    opened->child->Activate();
    // The child takes its place among the main window's tabs only when GTK has laid it out;
    // the view sizes itself from that place.
    for (int round = 0; round < 3; ++round) {
        wxTheApp->Yield(true);
    }
    opened->site->RecalcLayout();
    view->OnInitialUpdate();
    opened->site->RecalcLayout();
    opened->form->NotifySize();
    return opened;
}

void HostDocTemplate::OnChildClose(HostWindow* window, wxCloseEvent& event) {
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    // The frame tells its view first; the document closes once the current event is done.
    event.Veto();
    if (window->frame->activeView()) {
        window->frame->activeView()->OnUserMessage(kFrameClosingMessage);
    }
    if (window->site->HasWindow()) {
        window->child->CallAfter([this, window] { Close(window); });
    }
}

void HostDocTemplate::Close(HostWindow* window) {
    auto found =
        std::find_if(windows_.begin(), windows_.end(),
                     [window](const std::unique_ptr<HostWindow>& w) { return w.get() == window; });
    if (found == windows_.end()) {
        return;
    }
    std::unique_ptr<HostWindow> closing = std::move(*found);
    windows_.erase(found);
    // The view goes first (with its dialogs), then its form, the frame object and the window.
    closing->view.reset();
    closing->form.reset();
    closing->frame.reset();
    if (closing->site->HasWindow()) {
        closing->child->Destroy();
    }
}

void HostDocTemplate::CloseAllDocuments(bool /*endSession*/) {
    while (!windows_.empty()) {
        Close(windows_.back().get());
    }
}

HostWindow* HostDocTemplate::FindByFrame(const void* nativeFrame) const {
    for (const auto& window : windows_) {
        if (window->child == nativeFrame) {
            return window.get();
        }
    }
    return nullptr;
}
