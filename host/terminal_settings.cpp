#include "host/terminal_settings.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "base/platform.h"
#include "base/request_paths.h"
#include "host/settings_file.h"

namespace {

std::string Intro() {
    return std::string(
               "ipo-terminal: the desktop trading terminal that hosts the IPO plug-in "
               "(QuorIPO64") +
           base::kLibrarySuffix +
           " from its own folder).\n"
           "Settings come from ipo-terminal/settings.conf in the user's configuration folder "
           "($XDG_CONFIG_HOME or ~/.config; %APPDATA% on Windows), then from --settings FILE, "
           "then from the flags below; each file holds lines "
           "key=value: service, ca_file, user_id, working_directory, password_file. The service "
           "address is https://HOST:PORT, http://HOST:PORT or HOST:PORT (http); a password goes "
           "in clear only to a loopback address. An https service is checked against the CA "
           "file (--ca-file, else the system's store); the terminal hands it to the companion "
           "library as CORVEX_CA_FILE. A password file must not be readable by group or others. "
           "Without --password or --password-file the terminal asks in a sign-in dialog (user "
           "id, password, service address) and remembers the user id and the address in the "
           "settings file; the user type and the login client follow from who signs in.\n"
           "--screenshots DIR runs an unattended session against the service: it signs in, opens "
           "the watch list, an issue's details, the bid dialog and its terms, places one bid (two "
           "lots at the cut-off price) and cancels it again in the order book, saves a PNG of "
           "each screen into DIR and exits.";
}

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
    if (base::kModeBitsGuardFiles && !missing &&
        (mode & (fs::perms::group_read | fs::perms::others_read)) != fs::perms::none) {
        error = "The password file " + path +
                " can be read by other users; make it private (chmod 600 " + path + ")";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file || fs::is_directory(path, missing)) {
        error = "The password file " + path + " cannot be read";
        return false;
    }
    std::string text;
    std::getline(file, text);
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

bool ApplySettingsFile(const std::string& path, TerminalSettings& settings, std::string& error) {
    SettingsLines lines;
    if (!ReadSettingsFile(path, lines, error)) {
        return false;
    }
    for (const auto& [key, value] : lines) {
        if (!ApplyKey(key, value, settings, error)) {
            error += " in " + path;
            return false;
        }
    }
    return true;
}

// The flags that stand for a settings key, in the order they apply.
constexpr struct {
    const char* flag;
    const char* key;
    const char* value;
    const char* help;
} kFlagKeys[] = {
    {"--user-id", "user_id", "ID", "sign in as this user (default INV001)"},
    {"--service", "service", "ADDRESS",
     "IPO service https://HOST:PORT or [http://]HOST:PORT (default 127.0.0.1:8450)"},
    {"--ca-file", "ca_file", "FILE",
     "check an https service against the authorities in FILE (PEM; default: the system's)"},
    {"--working-dir", "working_directory", "DIR",
     "the plug-in's working folder (default: the user's data folder)"},
    {"--password-file", "password_file", "FILE",
     "sign in with the first line of FILE as the password"},
};

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
    CLI::App parser(Intro(), "ipo-terminal");
    bool version = false;
    std::string settingsFile, password, screenshots;
    std::string flagValues[std::size(kFlagKeys)];
    parser.add_flag("--version", version, "print the version and exit");
    parser
        .add_option("--settings", settingsFile,
                    "read settings from FILE (after the user's settings file)")
        ->type_name("FILE");
    for (size_t i = 0; i < std::size(kFlagKeys); ++i) {
        parser.add_option(kFlagKeys[i].flag, flagValues[i], kFlagKeys[i].help)
            ->type_name(kFlagKeys[i].value);
    }
    parser.add_option("--password", password, "sign in with this password")->type_name("PASSWORD");
    parser
        .add_option(
            "--screenshots", screenshots,
            "unattended: open each screen, place a bid and cancel it, save PNGs into DIR, exit")
        ->type_name("DIR");

    SettingsResult result;
    // A flag the terminal does not know is named as it was written.
    for (const std::string& argument : arguments) {
        const std::string name = argument.substr(0, argument.find('='));
        if (name.rfind("--", 0) == 0 && name != "--help" && !parser.get_option_no_throw(name)) {
            result.text = "unknown flag " + name + " (see --help)";
            return result;
        }
    }
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11's order
    try {
        parser.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        result.help = true;
        result.text = parser.help();
        return result;
    } catch (const CLI::ParseError& error) {
        result.text = std::string(error.what()) + " (see --help)";
        return result;
    }
    if (version) {
        result.help = true;
        result.text = "ipo-terminal " IPO_VERSION;
        return result;
    }

    TerminalSettings settings;
    std::string error;
    std::error_code ignored;
    const bool hasUserFile =
        !userSettingsFile.empty() && std::filesystem::exists(userSettingsFile, ignored);
    if ((hasUserFile && !ApplySettingsFile(userSettingsFile, settings, error)) ||
        (!settingsFile.empty() && !ApplySettingsFile(settingsFile, settings, error))) {
        result.text = error;
        return result;
    }
    for (size_t i = 0; i < std::size(kFlagKeys); ++i) {
        if (parser.count(kFlagKeys[i].flag) &&
            !ApplyKey(kFlagKeys[i].key, flagValues[i], settings, error)) {
            result.text = error;
            return result;
        }
    }
    if (parser.count("--password")) {
        settings.password = password;
    }
    settings.screenshotDirectory = screenshots;
    // A screenshot session runs unattended: it never waits for a dialog.
    settings.askPassword = settings.password.empty() && settings.screenshotDirectory.empty();
    result.settings = settings;
    return result;
}

int PrintSettingsAnswer(const SettingsResult& result) {
    if (result.help) {
        std::cout << result.text << std::endl;
        return 0;
    }
    std::cerr << "ipo-terminal: " << result.text << std::endl;
    return 2;
}

bool RememberSignIn(const std::string& userSettingsFile, const TerminalSettings& settings) {
    return UpdateSettingsFile(
        userSettingsFile, {{"user_id", settings.userId}, {"service", settings.service.Address()}});
}
