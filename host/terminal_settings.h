// Who the terminal signs in as and where the IPO service is: from the user's settings file, an
// optional settings file named on the command line, then command-line flags. The password
// comes from a flag or a private file, or is typed into the sign-in dialog. The user type and
// the login client follow from who signs in: the service names them in its sign-in answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/service_endpoint.h"

struct TerminalSettings {
    uint16_t userType = 23;
    std::string userId = "INV001";
    std::string loginClientId = "INV001";
    std::string loginClientCode = "I001";
    ServiceEndpoint service;
    std::string workingDirectory;     // empty: the user's data folder
    std::string screenshotDirectory;  // set: run the scripted screenshot session there
    std::string password;
    bool askPassword = false;  // no password given: sign in through the sign-in dialog
    std::string token;         // the session token once signed in

    // The service URL of a request code (91 to 96), carrying the session token as its user
    // part once signed in; empty for another code.
    std::string ServiceURL(int requestCode) const;
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

// Reads `arguments` (without the program name): first the user's settings file
// `userSettingsFile` when there is one, then a file given with --settings, then the flags.
SettingsResult ReadTerminalSettings(const std::vector<std::string>& arguments,
                                    const std::string& userSettingsFile = {});

// Prints what a result without settings says (the help to standard output, an error to standard
// error); the exit status to end with: 0 after the help, 2 after an error.
int PrintSettingsAnswer(const SettingsResult& result);

// Keeps the user id and the service address of a successful sign-in in the user's settings
// file (made private to the user), beside what else it holds; false when it cannot be written.
bool RememberSignIn(const std::string& userSettingsFile, const TerminalSettings& settings);
