#include "scenario_terminal.h"

#include <filesystem>

#include "base/platform.h"

namespace fs = std::filesystem;

TerminalSettings ScenarioTerminalSettings(const harness::ServiceProcess& service,
                                          const SeededUser& user) {
    TerminalSettings settings;
    settings.service = service.Endpoint();
    settings.userType = user.type;
    settings.userId = user.id;
    settings.loginClientId = user.loginClientId;
    settings.loginClientCode = user.loginClientCode;
    settings.password = harness::SeededPassword(user.id);
    settings.workingDirectory = service.Folder() + "/work";
    return settings;
}

// Links to the build's files where users make links; copies where they cannot (Windows).
std::string ScenarioProgramFolder(const harness::ServiceProcess& service, bool withCompanion) {
    if (withCompanion) {
        return harness::BinDir();
    }
    const fs::path folder = service.Folder() + "/bin";
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(harness::BinDir())) {
        const fs::path name = entry.path().filename();
        if (name.string().rfind("Corvexdll64", 0) == 0) {
            continue;
        }
        if (base::kUsersMakeLinks) {
            fs::create_symlink(entry.path(), folder / name);
        } else {
            fs::copy(entry.path(), folder / name, fs::copy_options::recursive);
        }
    }
    return folder.string();
}
