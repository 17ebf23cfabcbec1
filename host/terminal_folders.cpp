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

// The place's variable, else $HOME and the folder under it, else the current folder; then the
// terminal's own folder.
std::string UserFolder(const base::UserFolderPlace& place) {
    const char* set = std::getenv(place.variable);
    if (set && *set) {
        return (fs::path(set) / kAppFolder).string();
    }
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : ".") / place.underHome / kAppFolder).string();
}

// Puts the installed companion into the working folder unless the folder holds one of the
// user's own. A link follows the installed companion through updates; where users make no
// links, a copy is refreshed whenever the installed one is newer.
std::string PlaceCompanion(const fs::path& installed, const fs::path& companion) {
    std::error_code error;
    if (fs::absolute(installed, error) == fs::absolute(companion, error)) {
        return {};
    }
    if (!base::kUsersMakeLinks) {
        if (!fs::exists(installed, error)) {
            return {};  // said below: the companion is missing
        }
        fs::copy_file(installed, companion, fs::copy_options::update_existing, error);
        return error ? "Cannot copy the companion library into " +
                           companion.parent_path().string() + ": " + error.message()
                     : std::string();
    }
    const bool ownCopy =
        fs::exists(fs::symlink_status(companion, error)) && !fs::is_symlink(companion, error);
    if (ownCopy) {
        return {};
    }
    fs::remove(companion, error);
    fs::create_symlink(fs::absolute(installed, error), companion, error);
    return error ? "Cannot link the companion library into " + companion.parent_path().string() +
                       ": " + error.message()
                 : std::string();
}

}  // namespace

std::string UserSettingsFile() {
    return (fs::path(UserFolder(base::kUserConfigFolder)) / "settings.conf").string();
}

bool MakePrivateFolder(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::absolute(path, error);
    // From the root (a drive's on Windows, which is no folder to be made or guarded).
    fs::path folder = target.root_path();
    for (const fs::path& part : target.relative_path()) {
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
    folders.working = workingOverride.empty() ? UserFolder(base::kUserDataFolder) : workingOverride;
    folders.state = UserFolder(base::kUserStateFolder);
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
    const fs::path companion = working / CompanionFileName();
    const std::string placed =
        PlaceCompanion(fs::path(folders.plugin) / CompanionFileName(), companion);
    if (!placed.empty()) {
        problems.push_back(placed);
    }
    if (!fs::exists(companion, error)) {
        problems.push_back("The companion library " + companion.string() +
                           " is missing: every IPO request will fail");
    }
    return problems;
}
