// The service's SQLite store: one connection in WAL mode with synchronous=FULL, so that a
// commit has reached the disk before the service answers. Callers hold Lock() for the whole of
// one request, which makes every request one serial unit of work.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace svc {

class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The store's files were deleted or replaced under the running service: nothing more is written
// until it is restarted.
class StoreLost : public StoreError {
  public:
    using StoreError::StoreError;
};

// One prepared statement in use: bound, stepped, read, and reset when it goes out of scope.
class Query {
  public:
    Query(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
    ~Query();
    Query(Query&& other) noexcept : db_(other.db_), statement_(other.statement_) {
        other.statement_ = nullptr;
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int index, int64_t value);
    Query& Bind(int index, std::string_view value);
    // Steps once: true while a row is available.
    bool Next();
    // Steps to the end (for statements that return no rows).
    void Run();
    int64_t Int(int column) const;
    std::string Text(int column) const;
    // The column's text where SQLite holds it: valid until the next step.
    std::string_view View(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_;
};

class Store {
    friend class Transaction;

  public:
    // Opens (creating when missing) the database file and makes sure its tables exist; throws
    // StoreError for a file that is damaged (SQLite's quick check).
    explicit Store(const std::string& path);
    // A read-only connection to an existing store, for reading beside the store's own connection
    // on another thread: nothing is created, checked or migrated.
    struct ReadOnly {};
    Store(const std::string& path, ReadOnly);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
    // A cached prepared statement with its parameters bound in order (1, 2, ...).
    template <class... Args>
    Query Prepare(const char* sql, const Args&... args) {
        Query query(db_, Statement(sql));
        int index = 0;
        (query.Bind(++index, args), ...);
        return query;
    }
    // Runs SQL text that may hold several statements, compiling it each time.
    void Exec(const char* sql);
    // Runs one statement without rows (a savepoint, a commit), compiled once and kept.
    void Run(const char* sql) { Prepare(sql).Run(); }
    const std::string& Path() const { return path_; }
    bool IsEmpty();
    // A number that moves whenever another connection (another process) has committed to the
    // store since this one last looked; this connection's own commits leave it as it is.
    int64_t DataVersion();

    // While a batch is open, the store is already inside one transaction that the batch commits:
    // a Transaction is then a savepoint within it, and work queued with AfterCommit waits for
    // the batch's commit (and is dropped when the batch is rolled back).
    bool InBatch() const { return inBatch_; }
    void BeginBatch();
    void CommitBatch();
    void RollbackBatch();
    // Runs `then` once what was written so far is durable: now, or after the batch's commit.
    void AfterCommit(std::function<void()> then);

  private:
    // Which file a path names (device and inode); zero when there is none.
    struct FileIdentity {
        uint64_t device = 0;
        uint64_t inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static FileIdentity IdentityOf(const std::string& path);
    // Throws StoreLost once the files at the store's paths are no longer the ones open, and from
    // then on: a commit to a deleted or replaced file would be acknowledged and then lost. Checked
    // before each durable commit (a batch's, or a transaction outside one), not per savepoint.
    void CheckFilesInPlace();

    sqlite3_stmt* Statement(const char* sql);
    void Open(int flags);
    void Close();
    // SQLite's quick integrity check: "ok", or the first fault found.
    std::string QuickCheck();

    std::string path_;
    FileIdentity database_;
    FileIdentity journal_;  // the write-ahead log
    bool lost_ = false;
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
    bool inBatch_ = false;
    std::vector<std::function<void()>> afterCommit_;
};

// BEGIN IMMEDIATE on construction; ROLLBACK unless Commit() was called. Inside a batch it is a
// savepoint instead, released by Commit(), so the batch's own commit makes it durable. The one
// place that opens, releases and rolls back transactions and savepoints.
class Transaction {
  public:
    explicit Transaction(Store& store);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();
    // Undoes the work now; throws StoreError when the store cannot.
    void Rollback();

  private:
    Store& store_;
    bool done_ = false;
    bool nested_ = false;
};

// One read transaction for all the reads of a request (BEGIN on construction, COMMIT on
// destruction): they see one state of the store, and the store's file locks are taken once
// for them instead of once per statement. The caller holds the store's lock, outside any batch.
class ReadSnapshot {
  public:
    explicit ReadSnapshot(Store& store);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  private:
    Store& store_;
};

}  // namespace svc
