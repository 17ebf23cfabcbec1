#include "host/terminal_settings.h"

#include <wx/cmdline.h>
#include <wx/fileconf.h>
#include <wx/msgout.h>
#include <wx/wfstream.h>

#include <algorithm>

#include "base/request_paths.h"
#include "base/text.h"

namespace {

constexpr const char* kIntro =
    "ipo-terminal: the desktop trading terminal that hosts the IPO plug-in (QuorIPO64.so from its "
    "own folder).\n"
    "Settings come from --settings FILE (lines key=value: user_type, user_id, login_client_id, "
    "login_client_code, service, working_directory, password_file), then from the flags below.\n"
    "Defaults match the seeded service: investor INV001 (type 23, client code I001); --dealer "
    "logs in as DEALER01 (type 24, code D001). The terminal signs in at start with --password "
    "or the first line of --password-file; without either it asks in a dialog.";

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

// "host:port" or "port".
bool ApplyServiceAddress(const std::string& address, TerminalSettings& settings,
                         std::string& error) {
    const size_t colon = address.rfind(':');
    const std::string host =
        colon == std::string::npos ? settings.serviceHost : address.substr(0, colon);
    const std::string port = colon == std::string::npos ? address : address.substr(colon + 1);
    const int32_t number = base::ToLong(port);
    if (host.empty() || number < 1 || number > 65535 || std::to_string(number) != port) {
        error =
            "The service address \"" + address + "\" is not HOST:PORT with a port from 1 to 65535";
        return false;
    }
    settings.serviceHost = host;
    settings.servicePort = number;
    return true;
}

bool ApplyUserType(const std::string& text, TerminalSettings& settings, std::string& error) {
    const int32_t number = base::ToLong(text);
    if (std::to_string(number) != base::Trim(text) || number < 0 || number > 65535) {
        error = "The user type \"" + text + "\" is not a number from 0 to 65535";
        return false;
    }
    settings.userType = static_cast<uint16_t>(number);
    return true;
}

// The first line of a password file.
bool ReadPasswordFile(const std::string& path, TerminalSettings& settings, std::string& error) {
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
    if (key == "user_type") {
        return ApplyUserType(value, settings, error);
    }
    if (key == "service") {
        return ApplyServiceAddress(value, settings, error);
    }
    if (key == "user_id") {
        settings.userId = value;
    } else if (key == "login_client_id") {
        settings.loginClientId = value;
    } else if (key == "login_client_code") {
        settings.loginClientCode = value;
    } else if (key == "working_directory") {
        settings.workingDirectory = value;
    } else if (key == "password_file") {
        return ReadPasswordFile(value, settings, error);
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
    return "http://" + (token.empty() ? "" : token + "@") + ServiceAddress() + path;
}

std::string TerminalSettings::ServiceAddress() const {
    return serviceHost + ":" + std::to_string(servicePort);
}

size_t TerminalSettings::LongestServiceURL() const {
    size_t longest = 0;
    for (const base::RequestPath& request : base::kRequestPaths) {
        longest = std::max(longest, ServiceURL(request.code).size());
    }
    return longest;
}

SettingsResult ReadTerminalSettings(const std::vector<std::string>& arguments) {
    static const wxCmdLineEntryDesc kOptions[] = {
        {wxCMD_LINE_SWITCH, "h", "help", "show this help", wxCMD_LINE_VAL_NONE,
         wxCMD_LINE_OPTION_HELP},
        {wxCMD_LINE_SWITCH, nullptr, "version", "print the version and exit", wxCMD_LINE_VAL_NONE,
         0},
        {wxCMD_LINE_OPTION, nullptr, "settings", "read settings from FILE first",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "user-type", "23 investor, 24 dealer, 26 (default 23)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "user-id", "login user id (default INV001)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "client-id", "login client id (default INV001)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "client-code", "login client code (default I001)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_SWITCH, nullptr, "dealer",
         "log in as the seeded dealer DEALER01 (type 24, code D001)", wxCMD_LINE_VAL_NONE, 0},
        {wxCMD_LINE_OPTION, nullptr, "service", "IPO service HOST:PORT (default 127.0.0.1:8450)",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "password", "sign in with this password",
         wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "password-file",
         "sign in with the first line of FILE as the password", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "working-dir",
         "folder of the companion library (default: the terminal's)", wxCMD_LINE_VAL_STRING, 0},
        {wxCMD_LINE_OPTION, nullptr, "screenshots",
         "open each screen in turn, save a PNG of each into DIR, exit", wxCMD_LINE_VAL_STRING, 0},
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
    if (parser.Found("settings", &value) && !ReadSettingsFile(value, settings, error)) {
        result.text = error;
        return result;
    }
    if (parser.Found("dealer")) {
        settings.userType = 24;
        settings.userId = "DEALER01";
        settings.loginClientId = "DEALER01";
        settings.loginClientCode = "D001";
    }
    const struct {
        const char* flag;
        const char* key;
    } kFlagKeys[] = {
        {"user-type", "user_type"},
        {"user-id", "user_id"},
        {"client-id", "login_client_id"},
        {"client-code", "login_client_code"},
        {"service", "service"},
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
