#include "host/terminal_settings.h"

#include <wx/cmdline.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/msgout.h>
#include <wx/wfstream.h>

#include <algorithm>
#include <filesystem>

#include "base/request_paths.h"
#include "base/text.h"
#include "host/terminal_folders.h"

namespace {

constexpr const char* kIntro =
    "ipo-terminal: the desktop trading terminal that hosts the IPO plug-in (QuorIPO64.so from its "
    "own folder).\n"
    "Settings come from $XDG_CONFIG_HOME/ipo-terminal/settings.conf (default ~/.config/...), "
    "then from --settings FILE, then from the flags below; each file holds lines key=value: "
    "service, ca_file, user_id, working_directory, password_file. The service address is "
    "https://HOST:PORT, http://HOST:PORT or HOST:PORT (http); a password goes in clear only to "
    "a loopback address. An https service is checked against the CA file (--ca-file, else the "
    "system's store); the terminal hands it to the companion library as CORVEX_CA_FILE. A "
    "password file must not be readable by group or others. "
    "Without --password or --password-file the terminal asks in a sign-in "
    "dialog (user id, password, service address) and remembers the user id and the address in "
    "the settings file; the user type and the login client follow from who signs in.\n"
    "--screenshots DIR runs an unattended session against the service: it signs in, opens the "
    "watch list, an issue's details, the bid dialog and its terms, places one bid (two lots at "
    "the cut-off price) and cancels it again in the order book, saves a PNG of each screen "
    "into DIR and exits.";

std::string Utf8(const wxString& text) {
    return std::string(text.utf8_str());
}

// Keeps what the command-line parser says instead of printing it.
class ParserOutput : public wxMessageOutput {
  public:
    void Output(const wxString& text) override { text_ += Utf8(text); }
    std::string FirstLine() const { return text_.substr(0, text_.find('\n')); }

  private:
    std::string text_;
};

// A file name as given, made absolute so that it holds from any folder.
std::string AbsolutePath(const std::string& path) {
    std::error_code ignored;
    return path.empty() ? path : std::filesystem::absolute(path, ignored).string();
}

// The first line of a password file that only its owner can read.
bool ReadPasswordFile(const std::string& path, TerminalSettings& settings, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code missing;
    const fs::perms mode = fs::status(path, missing).permissions();
    if (!missing && (mode & (fs::perms::group_read | fs::perms::others_read)) != fs::perms::none) {
        error = "The password file " + path +
                " can be read by other users; make it private (chmod 600 " + path + ")";
        return false;
    }
    wxFileInputStream stream(wxString::FromUTF8(path));
    if (!stream.IsOk()) {
        error = "The password file " + path + " cannot be read";
        return false;
    }
    std::string text;
    char buffer[512];
    while (!stream.Eof() && text.find('\n') == std::string::npos && text.size() < 4096) {
        stream.Read(buffer, sizeof buffer);
        text.append(buffer, stream.LastRead());
    }
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    settings.password = text;
    return true;
}

bool ApplyKey(const std::string& key, const std::string& value, TerminalSettings& settings,
              std::string& error) {
    if (key == "service") {
        return ParseServiceAddress(value, settings.service, error);
    }
    if (key == "password_file") {
        return ReadPasswordFile(value, settings, error);
    }
    if (key == "user_id") {
        settings.userId = value;
    } else if (key == "ca_file") {
        settings.service.caFile = AbsolutePath(value);
    } else if (key == "working_directory") {
        settings.workingDirectory = value;
    } else {
        error = "Unknown setting \"" + key + "\"";
        return false;
    }
    return true;
}

bool ReadSettingsFile(const wxString& path, TerminalSettings& settings, std::string& error) {
    wxFileInputStream stream(path);
    if (!stream.IsOk()) {
        error = "The settings file " + Utf8(path) + " cannot be read";
        return false;
    }
    wxFileConfig file(stream);
    wxString key;
    long cookie = 0;
    for (bool more = file.GetFirstEntry(key, cookie); more; more = file.GetNextEntry(key, cookie)) {
        if (!ApplyKey(Utf8(key), Utf8(file.Read(key, wxString())), settings, error)) {
            error += " in " + Utf8(path);
            return false;
        }
    }
    return true;
}

bool KnownFlag(const wxCmdLineEntryDesc* options, const std::string& name) {
    for (const wxCmdLineEntryDesc* option = options; option->kind != wxCMD_LINE_NONE; ++option) {
        if (option->longName && name == option->longName) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string TerminalSettings::ServiceURL(int requestCode) const {
    const char* path = base::PathOfRequest(requestCode);
    if (!path) {
        return {};
    }
    return service.scheme + "://" + (token.empty() ? "" : token + "@") + service.HostPort() + path;
}

size_t TerminalSettings::LongestServiceURL() const {
    size_t longest = 0;
    for (const base::RequestPath& request : base::kRequestPaths) {
        longest = std::max(longest, ServiceURL(request.code).size());
    }
    return longest;
}

SettingsResult ReadTerminalSettings(const std::vector<std::string>& arguments,
                                    const std::string& userSettingsFile) {
    static const wxCmdLineEntryDesc kOptions[] = {
        {wxCMD_LINE_SWITCH, "h", "help", "show this help", wxCMD_LINE_VAL_NONE,
         wxCMD_LINE_OPTION_HELP},
        {wxCMD_LINE_SWITCH, nullptr, "version", "print the version and exit", wxCMD_LINE_VAL_NONE,
         0},
        {wxCMD_LINE_OPTION, nullptr, "settings",
         "read settings from FILE (after the user's settings file)", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "user-id", "sign in as this user (default INV001)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "service",
         "IPO service https://HOST:PORT or [http://]HOST:PORT (default 127.0.0.1:8450)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "ca-file",
         "check an https service against the authorities in FILE (PEM; default: the system's)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "password", "sign in with this password",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "password-file",
         "sign in with the first line of FILE as the password", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "working-dir",
         "the plug-in's working folder (default: ~/.local/share/ipo-terminal)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "screenshots",
         "unattended: open each screen, place a bid and cancel it, save PNGs into DIR, exit",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
    };
    SettingsResult result;
    // A flag the terminal does not know is named as it was written, before wx parses the rest.
    for (const std::string& argument : arguments) {
        const std::string name = argument.substr(0, argument.find('='));
        if (name.rfind("--", 0) == 0 && !KnownFlag(kOptions, name.substr(2))) {
            result.text = "unknown flag " + name + " (see --help)";
            return result;
        }
    }
    std::vector<std::string> words{"ipo-terminal"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    wxCmdLineParser parser(kOptions, static_cast<int>(words.size()), argv.data());
    parser.SetSwitchChars("-");
    parser.SetLogo(kIntro);

    wxString usage = parser.GetUsageString();
    // The parser names what it cannot take through wx's message output: keep it for the error.
    ParserOutput said;
    wxMessageOutput* previous = wxMessageOutput::Set(&said);
    const int parsed = parser.Parse(false);
    wxMessageOutput::Set(previous);
    if (parsed == -1) {
        result.help = true;
        result.text = Utf8(usage);
        return result;
    }
    if (parsed != 0) {
        result.text = said.FirstLine() + " (see --help)";
        return result;
    }
    if (parser.Found("version")) {
        result.help = true;
        result.text = "ipo-terminal " IPO_VERSION;
        return result;
    }

    TerminalSettings settings;
    std::string error;
    wxString value;
    if (!userSettingsFile.empty() && wxFileExists(wxString::FromUTF8(userSettingsFile)) &&
        !ReadSettingsFile(wxString::FromUTF8(userSettingsFile), settings, error)) {
        result.text = error;
        return result;
    }
    if (parser.Found("settings", &value) && !ReadSettingsFile(value, settings, error)) {
        result.text = error;
        return result;
    }
    const struct {
        const char* flag;
        const char* key;
    } kFlagKeys[] = {
        {"user-id", "user_id"},
        {"service", "service"},
        {"ca-file", "ca_file"},
        {"working-dir", "working_directory"},
        {"password-file", "password_file"},
    };
    for (const auto& flagKey : kFlagKeys) {
        if (parser.Found(flagKey.flag, &value) &&
            !ApplyKey(flagKey.key, Utf8(value), settings, error)) {
            result.text = error;
            return result;
        }
    }
    if (parser.Found("password", &value)) {
        settings.password = Utf8(value);
    }
    if (parser.Found("screenshots", &value)) {
        settings.screenshotDirectory = Utf8(value);
    }
    // A screenshot session runs unattended: it never waits for a dialog.
    settings.askPassword = settings.password.empty() && settings.screenshotDirectory.empty();
    result.settings = settings;
    return result;
}

bool RememberSignIn(const std::string& userSettingsFile, const TerminalSettings& settings) {
    const std::filesystem::path file(userSettingsFile);
    if (!MakePrivateFolder(file.parent_path().string())) {
        return false;
    }
    wxFileConfig config(wxEmptyString, wxEmptyString, wxString::FromUTF8(userSettingsFile),
                        wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
    config.SetUmask(0077);
    config.Write("user_id", wxString::FromUTF8(settings.userId));
    config.Write("service", wxString::FromUTF8(settings.service.Address()));
    return config.Flush() && MakePrivateFile(userSettingsFile);
}
