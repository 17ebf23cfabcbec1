#include "host/terminal_core.h"

#include "base/platform.h"
#include "base/text.h"
#include "host/settings_file.h"
#include "host/sign_in.h"

namespace {

TerminalCore* g_terminal = nullptr;  // the one terminal the plug-in's C callbacks reach

// The keys of the main window's place in the geometry file.
constexpr const char* kPlaceKeys[] = {"main_window_x", "main_window_y", "main_window_width",
                                      "main_window_height"};

}  // namespace

const std::vector<TerminalMenu>& TerminalMenus() {
    static const std::vector<TerminalMenu> kMenus = {
        {"&File", {{kMenuExit, "E&xit"}}},
        {"&IPO",
         {{static_cast<int>(kMenuIPOWatch), "IPO &Watch"},
          {static_cast<int>(kMenuIPOOrderBook), "IPO &Order Book"}}},
        {"&Help", {{kMenuAbout, "&About"}}},
    };
    return kMenus;
}

TerminalCore::TerminalCore(TerminalSettings settings, const std::string& programFolder,
                           TerminalPlatform& platform, fw::Backend& backend)
    : settings_(std::move(settings)),
      folders_(FindTerminalFolders(programFolder, settings_.workingDirectory)),
      platform_(platform),
      backend_(backend),
      hostMessages_(*this, clients_, settings_.service.Address()) {
    g_terminal = this;
}

TerminalCore::~TerminalCore() {
    Stop();
    g_terminal = nullptr;
}

bool TerminalCore::Start() {
    OpenLogFile();
    platform_.BuildMainWindow();
    windowUp_ = true;
    RestoreGeometry();
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

std::string TerminalCore::TrySignIn(const SignInEntry& entry) {
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

void TerminalCore::SignOutOfService() {
    if (!settings_.token.empty()) {
        SignOut(settings_.service, settings_.token);
        settings_.token.clear();
        clients_.SetSession(settings_.service, "");
    }
}

void TerminalCore::OpenLogFile() {
    MakePrivateFolder(folders_.state);
    const std::string path = folders_.state + base::kPathSeparator + "terminal.log";
    logFile_.open(path, std::ios::app);
    if (!logFile_ || !MakePrivateFile(path)) {
        ShowMessage("Cannot write the message log " + path);
    }
}

std::string TerminalCore::GeometryFile() const {
    return folders_.state + base::kPathSeparator + "terminal.ini";
}

// A scripted screenshot session starts from the same layout every time; a trader's terminal
// opens where it was left, within the screen.
void TerminalCore::RestoreGeometry() {
    SettingsLines lines;
    std::string ignored;
    if (!settings_.screenshotDirectory.empty() ||
        !ReadSettingsFile(GeometryFile(), lines, ignored)) {
        return;
    }
    int values[std::size(kPlaceKeys)];
    size_t found = 0;
    for (size_t i = 0; i < std::size(kPlaceKeys); ++i) {
        for (const auto& [key, value] : lines) {
            if (key == kPlaceKeys[i]) {
                values[i] = base::ToLong(value);
                ++found;
                break;
            }
        }
    }
    if (found == std::size(kPlaceKeys)) {
        platform_.PlaceMainWindow({values[0], values[1], values[2], values[3]});
    }
}

void TerminalCore::SaveGeometry() {
    if (!settings_.screenshotDirectory.empty()) {
        return;
    }
    const WindowPlace place = platform_.MainWindowPlace();
    const int values[] = {place.x, place.y, place.width, place.height};
    SettingsLines lines;
    for (size_t i = 0; i < std::size(kPlaceKeys); ++i) {
        lines.emplace_back(kPlaceKeys[i], std::to_string(values[i]));
    }
    UpdateSettingsFile(GeometryFile(), lines);
}

void TerminalCore::LoadPlugin() {
    const std::string path =
        folders_.plugin + base::kPathSeparator + "QuorIPO64" + base::kLibrarySuffix;
    // The companion checks an https service against the same authorities as the terminal.
    if (!settings_.service.caFile.empty()) {
        platform_.SetEnvironment("CORVEX_CA_FILE", settings_.service.caFile);
    }
    std::string error;
    if (!plugin_.Load(path, error)) {
        ShowMessage(error);
        return;
    }
    plugin_.Start(settings_, folders_.working, &TerminalCore::OnHostMessage,
                  &TerminalCore::OnSizeRequest);
    for (uint32_t menuId : kPluginMenus) {
        MenuWindowClasses classes;
        if (plugin_.ClassesForMenu(menuId, classes)) {
            std::unique_ptr<PluginWindows> docTemplate = platform_.MakeTemplate(classes);
            plugin_.SetDocTemplate(menuId, docTemplate.get());
            templates_[menuId] = std::move(docTemplate);
        }
    }
    ShowMessage("IPO plug-in " + plugin_.Version() + " loaded; user " + settings_.userId +
                " (type " + std::to_string(settings_.userType) + ") at " +
                settings_.service.Address());
}

void TerminalCore::EnablePluginMenus() {
    const bool enabled = plugin_.MenuEnabled();
    for (uint32_t menuId : kPluginMenus) {
        platform_.EnableMenuItem(static_cast<int>(menuId), enabled && templates_.count(menuId));
    }
}

void TerminalCore::OnMenuCommand(int id) {
    if (id == kMenuExit) {
        Exit();
    } else if (id == kMenuAbout) {
        const std::string version = plugin_.IsLoaded() ? plugin_.Version() : "not loaded";
        platform_.ShowAbout("IPO Terminal " IPO_VERSION "\nIPO plug-in version: " + version);
    } else {
        Open(static_cast<uint32_t>(id));
    }
}

bool TerminalCore::Open(uint32_t menuId) {
    PluginWindows* docTemplate = TemplateFor(menuId);
    if (!docTemplate || !plugin_.MenuEnabled()) {
        ShowMessage("The IPO plug-in is not available");
        return false;
    }
    std::string error;
    if (!docTemplate->OpenWindow(error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

void TerminalCore::Exit() {
    if (signIn_) {
        signIn_->Cancel();  // Start goes on to close the main window
    } else if (windowUp_) {
        platform_.CloseMainWindow();
    }
}

void TerminalCore::MainWindowClosing() {
    if (windowUp_) {
        SaveGeometry();
    }
    windowUp_ = false;
    Stop();
}

// The plug-in closes its windows through the templates it was given: they go after it.
void TerminalCore::Stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    plugin_.Stop();
    templates_.clear();
    SignOutOfService();
}

PluginWindows* TerminalCore::TemplateFor(uint32_t menuId) const {
    auto found = templates_.find(menuId);
    return found == templates_.end() ? nullptr : found->second.get();
}

void TerminalCore::ShowMessage(const std::string& text) {
    messages_.push_back(text);
    const fw::LocalTime now = fw::Now();
    const std::string time = base::Format("%02d:%02d:%02d", now.hour, now.minute, now.second);
    if (logFile_) {
        logFile_ << base::Format("%04d-%02d-%02d ", now.year, now.month, now.day) << time << "  "
                 << text << std::endl;
    }
    if (windowUp_) {
        platform_.AddLogLine(time + "  " + text);
        platform_.SetStatusText(0, text);
    }
}

void TerminalCore::ShowClientInUse(const std::string& clientId, const std::string& clientCode) {
    ShowMessage("Client in use: " + clientId + " (" + clientCode + ")");
    if (windowUp_) {
        platform_.SetStatusText(1, "Client " + clientId + " (" + clientCode + ")");
    }
}

int TerminalCore::OnHostMessage(void* record) {
    if (g_terminal) {
        g_terminal->hostMessages_.Handle(record);
    }
    return 0;
}

// The plug-in's views take the place the terminal gives them: a view's wanted size never
// resizes the trader's main window.
int TerminalCore::OnSizeRequest(void*, WindowSize, int, int, int) {
    return 0;
}
