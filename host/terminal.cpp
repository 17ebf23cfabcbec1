#include "host/terminal.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "framework/wx/wx_text.h"

namespace {

// The main window is shown at once, not after the window manager has told the size of its frame:
// wx's deferred first showing lays the tabs and the log out at 1x1 first, and GTK complains of
// negative sizes some thirty times. The window takes its frame into account when it is told.
class MainFrame : public wxMDIParentFrame {
  public:
    MainFrame()
        : wxMDIParentFrame(nullptr, wxID_ANY, "IPO Terminal", wxPoint(0, 0), wxSize(1240, 860)) {
        m_deferShow = false;
    }
};

}  // namespace

Terminal::Terminal(TerminalSettings settings, const std::string& programFolder)
    : core_(std::move(settings), programFolder, *this, backend_) {}

Terminal::~Terminal() {
    if (frame_) {
        frame_->Unbind(wxEVT_CLOSE_WINDOW, &Terminal::OnMainClose, this);
        core_.MainWindowClosing();
        frame_->Destroy();
    }
}

void Terminal::BuildMainWindow() {
    frame_ = new MainFrame;
    auto* bar = new wxMenuBar;
    for (const TerminalMenu& menu : TerminalMenus()) {
        auto* items = new wxMenu;
        for (const TerminalMenuItem& item : menu.items) {
            items->Append(item.id, wxString::FromUTF8(item.text));
            frame_->Bind(
                wxEVT_MENU, [this, id = item.id](wxCommandEvent&) { core_.OnMenuCommand(id); },
                item.id);
        }
        bar->Append(items, wxString::FromUTF8(menu.title));
    }
    frame_->SetMenuBar(bar);
    frame_->CreateStatusBar(2);
    const int widths[] = {-3, -1};
    frame_->SetStatusWidths(2, widths);
    frame_->Bind(wxEVT_CLOSE_WINDOW, &Terminal::OnMainClose, this);

    auto* logFrame = new wxMDIChildFrame(frame_, wxID_ANY, "Message Log");
    log_ = new wxTextCtrl(logFrame, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(log_, 1, wxEXPAND);
    logFrame->SetSizer(sizer);
    logFrame->Show();
    // The tabs and the log get their sizes before GTK first lays the window out: a tab area
    // still at its 1x1 start size makes GTK complain of negative sizes.
    frame_->Show();
}

void Terminal::CloseMainWindow() {
    if (frame_) {
        frame_->Close();
    }
}

WindowPlace Terminal::MainWindowPlace() const {
    const wxRect rect = frame_->GetRect();
    return {rect.x, rect.y, rect.width, rect.height};
}

void Terminal::PlaceMainWindow(const WindowPlace& place) {
    const wxRect rect(place.x, place.y, place.width, place.height);
    frame_->SetSize(rect.Intersect(wxDisplay(0u).GetClientArea()));
}

void Terminal::AddLogLine(const std::string& line) {
    if (log_) {
        log_->AppendText(fw::wx::ToWx(line) + "\n");
    }
}

void Terminal::SetStatusText(int field, const std::string& text) {
    if (frame_) {
        frame_->SetStatusText(fw::wx::ToWx(text), field);
    }
}

void Terminal::EnableMenuItem(int id, bool enabled) {
    frame_->GetMenuBar()->Enable(id, enabled);
}

void Terminal::ShowAbout(const std::string& text) {
    wxMessageBox(fw::wx::ToWx(text), "About IPO Terminal", wxOK | wxICON_INFORMATION, frame_);
}

std::unique_ptr<PluginWindows> Terminal::MakeTemplate(const MenuWindowClasses& classes) {
    return std::make_unique<HostDocTemplate>(classes, frame_, backend_);
}

void Terminal::SetEnvironment(const std::string& name, const std::string& value) {
    wxSetEnv(fw::wx::ToWx(name), fw::wx::ToWx(value));
}

HostWindow* Terminal::Open(uint32_t menuId) {
    return core_.Open(menuId) ? TemplateFor(menuId)->windows().back().get() : nullptr;
}

HostDocTemplate* Terminal::TemplateFor(uint32_t menuId) const {
    return static_cast<HostDocTemplate*>(core_.TemplateFor(menuId));
}

void Terminal::OnMainClose(wxCloseEvent& event) {
    core_.MainWindowClosing();
    frame_ = nullptr;
    log_ = nullptr;
    event.Skip();
}

std::string Terminal::StatusText(int field) const {
    return frame_ && frame_->GetStatusBar()
               ? fw::wx::FromWx(frame_->GetStatusBar()->GetStatusText(field))
               : std::string();
}
