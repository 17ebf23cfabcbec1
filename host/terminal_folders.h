// Where the terminal finds its plug-in and its data, and where it keeps the user's working folder
// and its message log: the same code serves the build tree and an installed tree.
#pragma once

#include <string>
#include <vector>

struct TerminalFolders {
    std::string plugin;   // QuorIPO64 and Corvexdll64
    std::string data;     // the sample terms file
    std::string working;  // the plug-in's working directory: companion, terms file, Upload
    std::string state;    // the message log and the window geometry
};

// The folders for a terminal whose executable lies in `programFolder`. Installed, the plug-in
// and the data lie in their own folders beside bin; in the build tree, beside the executable
// (plug-in) and one level up (data). An empty working override takes the user's data folder
// ($XDG_DATA_HOME or ~/.local/share; %LOCALAPPDATA% on Windows), the log the user's state folder
// ($XDG_STATE_HOME or ~/.local/state; %LOCALAPPDATA%), each then "ipo-terminal".
TerminalFolders FindTerminalFolders(const std::string& programFolder,
                                    const std::string& workingOverride);

// The user's settings file: $XDG_CONFIG_HOME (or ~/.config; %APPDATA% on Windows), then
// "ipo-terminal/settings.conf".
std::string UserSettingsFile();

// Creates the folder and any missing folder above it, each readable by the user alone (0700,
// whatever the umask); the folder itself is made so when it exists too (the terminal's files
// from before), folders above it that exist are left as they are. False when it cannot.
bool MakePrivateFolder(const std::string& path);
// Makes a file of the terminal's readable and writable by the user alone (0600).
bool MakePrivateFile(const std::string& path);

// Makes the working folder usable: creates it with its Upload folder (private to the user), puts
// the sample terms file there unless the user has one, and links (on Windows copies) the
// companion library from the plug-in folder unless the folder holds one of its own. Returns what
// could not be done, one message each.
std::vector<std::string> PrepareWorkingFolder(const TerminalFolders& folders);
