// The durable-commit floor of the service benchmarks: one SQLite connection committing one row
// per transaction, as the service's store commits (WAL, synchronous=FULL).
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

// Runs SQL text; throws std::runtime_error with SQLite's message when it fails.
inline void ExecSql(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

class DurableCommitFloor {
  public:
    // Opens (creating) the floor's database at `path`, beside the service's.
    explicit DurableCommitFloor(const std::string& path) {
        sqlite3_open(path.c_str(), &db_);
        ExecSql(db_, "PRAGMA journal_mode=WAL");
        ExecSql(db_, "PRAGMA synchronous=FULL");
        ExecSql(db_, "CREATE TABLE IF NOT EXISTS t(v INTEGER)");
    }
    ~DurableCommitFloor() { sqlite3_close(db_); }
    DurableCommitFloor(const DurableCommitFloor&) = delete;
    DurableCommitFloor& operator=(const DurableCommitFloor&) = delete;

    void Commit() { ExecSql(db_, "BEGIN IMMEDIATE; INSERT INTO t VALUES(1); COMMIT"); }

  private:
    sqlite3* db_ = nullptr;
};
