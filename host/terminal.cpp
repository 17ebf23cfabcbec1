#include "host/terminal.h"

#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "base/platform.h"
#include "framework/wx/wx_text.h"
#include "host/sign_in.h"
#include "host/sign_in_dialog.h"

namespace {

Terminal* g_terminal = nullptr;  // the one terminal the plug-in's C callbacks reach

constexpr int kMenuAbout = wxID_ABOUT;
constexpr int kMenuExit = wxID_EXIT;
constexpr uint32_t kPluginMenus[] = {kMenuIPOWatch, kMenuIPOOrderBook};

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

Terminal::Terminal(TerminalSettings settings, std::string programFolder)
    : settings_(std::move(settings)),
      folders_(FindTerminalFolders(programFolder, settings_.workingDirectory)),
      hostMessages_(*this, clients_, settings_.service.Address()) {
    g_terminal = this;
}

Terminal::~Terminal() {
    if (frame_) {
        frame_->Unbind(wxEVT_CLOSE_WINDOW, &Terminal::OnMainClose, this);
        SaveGeometry();
    }
    // The plug-in closes its windows through the templates it was given: they go after it.
    if (!stopped_) {
        plugin_.Stop();
        templates_.clear();
        SignOutOfService();
    }
    if (frame_) {
        frame_->Destroy();
    }
    g_terminal = nullptr;
}

bool Terminal::Start() {
    OpenLogFile();
    BuildMainWindow();
    KeepGeometry();
    for (const std::string& problem : PrepareWorkingFolder(folders_)) {
        ShowMessage(problem);
    }
    if (settings_.askPassword) {
        SignInDialog dialog(settings_.userId, settings_.service.Address(),
                            [this](const SignInEntry& entry) { return TrySignIn(entry); });
        signIn_ = &dialog;
        const bool signedIn = dialog.Run(backend_);
        signIn_ = nullptr;
        if (!signedIn) {
            Exit();
            return false;
        }
        if (!RememberSignIn(UserSettingsFile(), settings_)) {
            ShowMessage("Cannot keep the user id and the service address in " + UserSettingsFile());
        }
    } else if (settings_.password.empty()) {
        ShowMessage("Sign-in failed for " + settings_.userId + " at " +
                    settings_.service.Address() +
                    ": no password given (--password or --password-file); the IPO menu stays "
                    "disabled");
    } else {
        TrySignIn({settings_.userId, settings_.password, settings_.service.Address()});
        settings_.password.clear();
    }
    if (signedIn()) {
        LoadPlugin();
    }
    EnablePluginMenus();
    return true;
}

std::string Terminal::TrySignIn(const SignInEntry& entry) {
    ServiceEndpoint service = settings_.service;
    std::string error;
    std::optional<ServiceSession> session;
    if (ParseServiceAddress(entry.service, service, error)) {
        session = SignIn(service, entry.userId, entry.password, error);
    }
    const std::string where = service.Address();
    if (session) {
        settings_.userId = entry.userId;
        settings_.service = service;
        settings_.token = session->token;
        settings_.userType = session->userType;
        settings_.loginClientId = session->clientId;
        settings_.loginClientCode = session->clientCode;
        if (settings_.LongestServiceURL() > kMaxServiceURL) {
            error = "the service URLs would be " + std::to_string(settings_.LongestServiceURL()) +
                    " characters long with the session token, more than the plug-in's " +
                    std::to_string(kMaxServiceURL);
            SignOutOfService();
        }
    }
    if (!error.empty()) {
        ShowMessage("Sign-in failed for " + entry.userId + " at " + where + ": " + error +
                    "; the IPO menu stays disabled");
        return error;
    }
    clients_.SetSession(settings_.service, settings_.token);
    hostMessages_.SetServiceAddress(where);
    ShowMessage("Signed in as " + settings_.userId + " at " + where + " until " + session->expires);
    return {};
}

void Terminal::SignOutOfService() {
    if (!settings_.token.empty()) {
        SignOut(settings_.service, settings_.token);
        settings_.token.clear();
        clients_.SetSession(settings_.service, "");
    }
}

void Terminal::OpenLogFile() {
    MakePrivateFolder(folders_.state);
    const std::string path = folders_.state + "/terminal.log";
    logFile_.open(path, std::ios::app);
    if (!logFile_ || !MakePrivateFile(path)) {
        ShowMessage("Cannot write the message log " + path);
    }
}

// A scripted screenshot session starts from the same layout every time; a trader's terminal
// opens where it was left, within the screen.
void Terminal::KeepGeometry() {
    if (!settings_.screenshotDirectory.empty()) {
        return;
    }
    geometry_ = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString,
                                               wxString::FromUTF8(folders_.state + "/terminal.ini"),
                                               wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
    geometry_->SetUmask(0077);
    wxRect rect = frame_->GetRect();
    if (geometry_->Read("MainWindow/x", &rect.x) && geometry_->Read("MainWindow/y", &rect.y) &&
        geometry_->Read("MainWindow/width", &rect.width) &&
        geometry_->Read("MainWindow/height", &rect.height)) {
        frame_->SetSize(rect.Intersect(wxDisplay(0u).GetClientArea()));
    }
}

void Terminal::SaveGeometry() {
    if (!geometry_ || !frame_) {
        return;
    }
    const wxRect rect = frame_->GetRect();
    geometry_->Write("MainWindow/x", rect.x);
    geometry_->Write("MainWindow/y", rect.y);
    geometry_->Write("MainWindow/width", rect.width);
    geometry_->Write("MainWindow/height", rect.height);
    geometry_->Flush();
}

void Terminal::BuildMainWindow() {
    frame_ = new MainFrame;
    auto* file = new wxMenu;
    file->Append(kMenuExit, "E&xit");
    auto* ipo = new wxMenu;
    ipo->Append(static_cast<int>(kMenuIPOWatch), "IPO &Watch");
    ipo->Append(static_cast<int>(kMenuIPOOrderBook), "IPO &Order Book");
    auto* help = new wxMenu;
    help->Append(kMenuAbout, "&About");
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(ipo, "&IPO");
    bar->Append(help, "&Help");
    frame_->SetMenuBar(bar);
    frame_->CreateStatusBar(2);
    const int widths[] = {-3, -1};
    frame_->SetStatusWidths(2, widths);

    frame_->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Exit(); }, kMenuExit);
    frame_->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ShowAbout(); }, kMenuAbout);
    for (uint32_t menuId : kPluginMenus) {
        frame_->Bind(
            wxEVT_MENU, [this, menuId](wxCommandEvent&) { Open(menuId); },
            static_cast<int>(menuId));
    }
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

void Terminal::LoadPlugin() {
    const std::string path =
        folders_.plugin + base::kPathSeparator + "QuorIPO64" + base::kLibrarySuffix;
    // The companion checks an https service against the same authorities as the terminal.
    if (!settings_.service.caFile.empty()) {
        wxSetEnv("CORVEX_CA_FILE", wxString::FromUTF8(settings_.service.caFile));
    }
    std::string error;
    if (!plugin_.Load(path, error)) {
        ShowMessage(error);
    } else {
        plugin_.Start(settings_, folders_.working, &Terminal::OnHostMessage,
                      &Terminal::OnSizeRequest);
        for (uint32_t menuId : kPluginMenus) {
            MenuWindowClasses classes;
            if (plugin_.ClassesForMenu(menuId, classes)) {
                auto docTemplate = std::make_unique<HostDocTemplate>(classes, frame_, backend_);
                plugin_.SetDocTemplate(menuId, docTemplate.get());
                templates_[menuId] = std::move(docTemplate);
            }
        }
        ShowMessage("IPO plug-in " + plugin_.Version() + " loaded; user " + settings_.userId +
                    " (type " + std::to_string(settings_.userType) + ") at " +
                    settings_.service.Address());
    }
}

void Terminal::EnablePluginMenus() {
    const bool enabled = plugin_.MenuEnabled();
    for (uint32_t menuId : kPluginMenus) {
        frame_->GetMenuBar()->Enable(static_cast<int>(menuId), enabled && templates_.count(menuId));
    }
}

HostWindow* Terminal::Open(uint32_t menuId) {
    HostDocTemplate* docTemplate = TemplateFor(menuId);
    if (!docTemplate || !plugin_.MenuEnabled()) {
        ShowMessage("The IPO plug-in is not available");
        return nullptr;
    }
    std::string error;
    HostWindow* window = docTemplate->OpenDocument(error);
    if (!window) {
        ShowMessage(error);
    }
    return window;
}

void Terminal::Exit() {
    if (signIn_) {
        signIn_->Cancel();  // Start goes on to close the main window
    } else if (frame_) {
        frame_->Close();
    }
}

void Terminal::OnMainClose(wxCloseEvent& event) {
    SaveGeometry();
    if (!stopped_) {
        stopped_ = true;
        plugin_.Stop();
        templates_.clear();
        SignOutOfService();
    }
    frame_ = nullptr;
    log_ = nullptr;
    event.Skip();
}

HostDocTemplate* Terminal::TemplateFor(uint32_t menuId) const {
    auto found = templates_.find(menuId);
    return found == templates_.end() ? nullptr : found->second.get();
}

std::string Terminal::StatusText(int field) const {
    return frame_ && frame_->GetStatusBar()
               ? fw::wx::FromWx(frame_->GetStatusBar()->GetStatusText(field))
               : std::string();
}

void Terminal::ShowMessage(const std::string& text) {
    messages_.push_back(text);
    if (logFile_) {
        logFile_ << wxDateTime::Now().FormatISOCombined(' ').utf8_str() << "  " << text
                 << std::endl;
    }
    if (log_) {
        log_->AppendText(wxDateTime::Now().FormatISOTime() + "  " + fw::wx::ToWx(text) + "\n");
    }
    if (frame_) {
        frame_->SetStatusText(fw::wx::ToWx(text), 0);
    }
}

void Terminal::ShowClientInUse(const std::string& clientId, const std::string& clientCode) {
    ShowMessage("Client in use: " + clientId + " (" + clientCode + ")");
    if (frame_) {
        frame_->SetStatusText(fw::wx::ToWx("Client " + clientId + " (" + clientCode + ")"), 1);
    }
}

void Terminal::ShowAbout() {
    const std::string version = plugin_.IsLoaded() ? plugin_.Version() : "not loaded";
    wxMessageBox("IPO Terminal " IPO_VERSION "\nIPO plug-in version: " + fw::wx::ToWx(version),
                 "About IPO Terminal", wxOK | wxICON_INFORMATION, frame_);
}

int Terminal::OnHostMessage(void* record) {
    if (g_terminal) {
        g_terminal->hostMessages_.Handle(record);
    }
    return 0;
}

// The plug-in's views are tabs of the main window: they take the tab area's size, and a view's
// wanted size never resizes the trader's main window.
int Terminal::OnSizeRequest(void*, WindowSize, int, int, int) {
    return 0;
}
