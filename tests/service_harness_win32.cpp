// The service harness's processes and files under Wine: the service and the shell commands are
// the native machine's programs, which Wine starts as it starts its own. Wine hands back no
// handle of a native process, so each command leaves its process id or exit status in a file
// of its own, which the test waits for.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "service_harness.h"

namespace harness {
namespace {

// Runs a native command line (no double quotes inside its arguments) without waiting for it.
void RunNative(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // What Wine leaves in `process` for a native program is no handle of it, and not to be closed
    // (it may name a handle of this program's).
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error("cannot run " + commandLine);
    }
}

// The folder under /tmp of this test program's files: made at first use with a random name
// (Wine's process ids come round again, and a name left by an earlier run must not be taken),
// removed with what it holds at exit.
const std::string& OwnFolder() {
    static const struct Folder {
        std::string path;
        Folder() {
            std::random_device random;
            std::error_code failed;
            for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
                const std::string name = "/tmp/ipo-wine-" + std::to_string(random());
                path = std::filesystem::create_directory(name, failed) ? name : "";
            }
            if (path.empty()) {
                throw std::runtime_error("cannot make a folder under /tmp");
            }
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    return folder.path;
}

// A file name that no other command of any test uses.
std::string NewName(const std::string& prefix) {
    static std::atomic<int> count{0};
    return OwnFolder() + "/" + prefix + "-" + std::to_string(count++);
}

// Runs `command` through the native shell in the background; `then` runs after it and writes
// `result` (written whole: moved into place once complete). Gives what `result` holds, or empty
// when nothing came within `waitMs`.
std::string ShellThen(const std::string& command, const std::string& then,
                      const std::string& result, int waitMs) {
    RunNative("/bin/sh -c \"" + command + then + " >" + result + ".part; mv " + result + ".part " +
              result + "\"");
    for (int waited = 0; waited < waitMs; waited += 10) {
        std::ifstream file(result);
        if (file) {
            std::string text{std::istreambuf_iterator<char>(file), {}};
            file.close();
            std::filesystem::remove(result);
            return text;
        }
        Sleep(10);
    }
    return {};
}

}  // namespace

int Shell(const std::string& command, std::string& output) {
    const std::string name = NewName("ipo-shell");
    const std::string status =
        ShellThen("(" + command + ") >" + name + ".out", "; echo $?", name, 120'000);
    std::ifstream said(name + ".out");
    output.append(std::istreambuf_iterator<char>(said), {});
    said.close();
    std::filesystem::remove(name + ".out");
    return status.empty() ? -1 : std::stoi(status);
}

pid_t SpawnShell(const std::string& command) {
    const std::string pid =
        ShellThen("(" + command + ") &", " echo $!", NewName("ipo-spawn"), 10'000);
    if (pid.empty()) {
        throw std::runtime_error("cannot run " + command);
    }
    return std::stoi(pid);
}

// A native process runs while the native machine lists it and it is not a zombie.
bool Running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), {}};
    const size_t name = text.rfind(')');
    return name != std::string::npos && name + 2 < text.size() && text[name + 2] != 'Z';
}

void Signal(pid_t pid, bool kill) {
    RunNative(std::string("/bin/kill -") + (kill ? "KILL " : "TERM ") + std::to_string(pid));
}

// Read by the native sqlite3 program: this program has no SQLite of its own. A quoted issue key
// cannot pass inside the shell's quotes on the native command line, so every issue is listed and
// the one asked for is picked here.
std::string ServiceProcess::BidEnd(const std::string& issueKey) const {
    std::string rows;
    Shell("sqlite3 -readonly " + db_ + " 'SELECT issue_key, bid_end FROM issues'", rows);
    std::istringstream lines(rows);
    const std::string key = issueKey + "|";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key, 0) == 0) {
            return line.substr(key.size());
        }
    }
    return {};
}

std::string MakeScratchFolder(const std::string& prefix) {
    const std::string folder = NewName(prefix);
    std::error_code failed;
    return std::filesystem::create_directory(folder, failed) ? folder : std::string();
}

}  // namespace harness
