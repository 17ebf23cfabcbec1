// The service harness's processes, files and database access on Linux.
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <stdexcept>

#include "service_harness.h"

extern char** environ;

namespace harness {

int Shell(const std::string& command, std::string& output) {
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[4096];
    for (size_t got; pipe && (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, got);
    }
    const int status = pipe ? pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t SpawnShell(const std::string& command) {
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        throw std::runtime_error("cannot run " + command);
    }
    return pid;
}

bool Running(pid_t pid) {
    const pid_t ended = waitpid(pid, nullptr, WNOHANG);
    return ended == 0 || (ended < 0 && kill(pid, 0) == 0);
}

void Signal(pid_t pid, bool kill) {
    ::kill(pid, kill ? SIGKILL : SIGTERM);
}

std::string MakeScratchFolder(const std::string& prefix) {
    std::string name = "/tmp/" + prefix + "-XXXXXX";
    return mkdtemp(name.data()) ? name : std::string();
}

int ServiceProcess::RunSqlStopped(const std::string& sql) {
    Stop();
    sqlite3* db = nullptr;
    sqlite3_open(db_.c_str(), &db);
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Start();
    return result;
}

std::string ServiceProcess::BidEnd(const std::string& issueKey) const {
    sqlite3* db = nullptr;
    sqlite3_open(db_.c_str(), &db);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT bid_end FROM issues WHERE issue_key = ?", -1, &query, nullptr);
    sqlite3_bind_text(query, 1, issueKey.c_str(), -1, SQLITE_TRANSIENT);
    std::string end;
    if (sqlite3_step(query) == SQLITE_ROW) {
        end = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return end;
}

}  // namespace harness
