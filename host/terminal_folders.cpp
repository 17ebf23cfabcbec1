#include "host/terminal_folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAppFolder = "ipo-terminal";
constexpr const char* kTermsFile = "IPOTermsAndConditions.html";

std::string PluginFileName() {
    return std::string("QuorIPO64") + base::kLibrarySuffix;
}

std::string CompanionFileName() {
    return std::string("Corvexdll64") + base::kLibrarySuffix;
}

// $variable, else $HOME/fallback, else the current folder; then the terminal's own folder.
std::string UserFolder(const char* variable, const char* fallback) {
    const char* set = std::getenv(variable);
    if (set && *set) {
        return (fs::path(set) / kAppFolder).string();
    }
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : ".") / fallback / kAppFolder).string();
}

}  // namespace

std::string UserSettingsFile() {
    return (fs::path(UserFolder("XDG_CONFIG_HOME", ".config")) / "settings.conf").string();
}

bool MakePrivateFolder(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::absolute(path, error);
    fs::path folder;
    for (const fs::path& part : target) {
        folder /= part;
        const bool made = !fs::exists(folder, error) && fs::create_directory(folder, error);
        if (made || folder == target) {
            fs::permissions(folder, fs::perms::owner_all, error);
        }
        if (error) {
            return false;
        }
    }
    return fs::is_directory(folder, error);
}

bool MakePrivateFile(const std::string& path) {
    std::error_code error;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, error);
    return !error;
}

TerminalFolders FindTerminalFolders(const std::string& programFolder,
                                    const std::string& workingOverride) {
    TerminalFolders folders;
    const fs::path program(programFolder);
    const fs::path installedPlugins = program / IPO_PLUGIN_FOLDER_FROM_BIN;
    std::error_code error;
    folders.plugin = fs::exists(installedPlugins / PluginFileName(), error)
                         ? installedPlugins.lexically_normal().string()
                         : programFolder;
    folders.data = (program / IPO_DATA_FOLDER_FROM_BIN).lexically_normal().string();
    folders.working =
        workingOverride.empty() ? UserFolder("XDG_DATA_HOME", ".local/share") : workingOverride;
    folders.state = UserFolder("XDG_STATE_HOME", ".local/state");
    return folders;
}

std::vector<std::string> PrepareWorkingFolder(const TerminalFolders& folders) {
    std::vector<std::string> problems;
    const fs::path working(folders.working);
    std::error_code error;
    if (!MakePrivateFolder(working.string()) || !MakePrivateFolder((working / "Upload").string())) {
        problems.push_back("Cannot create the working folder " + (working / "Upload").string());
        return problems;
    }
    const fs::path terms = working / kTermsFile;
    if (!fs::exists(terms, error)) {
        fs::copy_file(fs::path(folders.data) / kTermsFile, terms, error);
    }
    if (error || !MakePrivateFile(terms.string())) {
        problems.push_back("Cannot place the terms file " + terms.string() + ": " +
                           error.message());
    }
    // A link follows the installed companion through updates; a file of the user's stays.
    const fs::path companion = working / CompanionFileName();
    const fs::path installed = fs::path(folders.plugin) / CompanionFileName();
    const bool ownCopy =
        fs::exists(fs::symlink_status(companion, error)) && !fs::is_symlink(companion, error);
    if (!ownCopy && fs::absolute(installed, error) != fs::absolute(companion, error)) {
        fs::remove(companion, error);
        fs::create_symlink(fs::absolute(installed, error), companion, error);
        if (error) {
            problems.push_back("Cannot link the companion library into " + working.string() + ": " +
                               error.message());
        }
    }
    if (!fs::exists(companion, error)) {
        problems.push_back("The companion library " + companion.string() +
                           " is missing: every IPO request will fail");
    }
    return problems;
}
