// Who the terminal logs in as and where the IPO service is: from command-line flags and an
// optional settings file, with defaults that match the seeded reference service. The password
// comes from a flag or a file (or, run interactively, from a sign-in dialog).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TerminalSettings {
    uint16_t userType = 23;
    std::string userId = "INV001";
    std::string loginClientId = "INV001";
    std::string loginClientCode = "I001";
    std::string serviceHost = "127.0.0.1";
    int servicePort = 8450;
    std::string workingDirectory;     // empty: the terminal's own folder
    std::string screenshotDirectory;  // set: run the scripted screenshot session there
    std::string password;
    bool askPassword = false;  // no password given: ask for it in a dialog
    std::string token;         // the session token once signed in

    // The service URL of a request code (91 to 96), carrying the session token as its user
    // part once signed in; empty for another code.
    std::string ServiceURL(int requestCode) const;
    // The service's host:port.
    std::string ServiceAddress() const;
    // The length of the longest service URL (the plug-in takes at most 255 characters).
    size_t LongestServiceURL() const;
};

// The most characters the plug-in takes in a service URL.
constexpr size_t kMaxServiceURL = 255;

struct SettingsResult {
    std::optional<TerminalSettings> settings;  // none: stop (help shown or an error)
    std::string text;                          // the help text or the error
    bool help = false;  // the text answers --help or --version: print it and exit 0
};

// Reads `arguments` (without the program name). A settings file given with --settings is
// read first; flags override it.
SettingsResult ReadTerminalSettings(const std::vector<std::string>& arguments);
