#include "service/store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "service/order_states.h"

namespace svc {
namespace {

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS users(
  user_id TEXT PRIMARY KEY,
  user_type INTEGER NOT NULL,
  client_id TEXT NOT NULL DEFAULT '',
  name TEXT NOT NULL DEFAULT '',
  password_hash TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS sessions(
  token_hash TEXT PRIMARY KEY,
  user_id TEXT NOT NULL,
  expires INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS clients(
  client_id TEXT PRIMARY KEY,
  client_code TEXT NOT NULL,
  name TEXT NOT NULL,
  dealer_id TEXT NOT NULL DEFAULT '',
  upi_id TEXT NOT NULL DEFAULT '',
  reference1 TEXT NOT NULL DEFAULT '',
  reference2 TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS bank_accounts(
  client_id TEXT NOT NULL,
  bank_name TEXT NOT NULL,
  account_number TEXT NOT NULL,
  ifsc TEXT NOT NULL DEFAULT '',
  branch TEXT NOT NULL DEFAULT '',
  asba INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY(client_id, account_number));
CREATE TABLE IF NOT EXISTS issues(
  issue_key TEXT PRIMARY KEY,
  issue_tag TEXT NOT NULL,
  name TEXT NOT NULL,
  issue_type TEXT NOT NULL,
  price_low INTEGER NOT NULL,
  price_high INTEGER NOT NULL,
  face_value INTEGER NOT NULL,
  lot_size INTEGER NOT NULL,
  min_bid_quantity INTEGER NOT NULL,
  issue_size INTEGER NOT NULL,
  bid_start TEXT NOT NULL,
  bid_end TEXT NOT NULL,
  registrar TEXT NOT NULL DEFAULT '',
  rating TEXT NOT NULL DEFAULT '',
  prospectus TEXT NOT NULL DEFAULT '',
  recommendation TEXT NOT NULL DEFAULT '',
  retail_limit INTEGER NOT NULL,
  upi_limit INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS categories(
  issue_key TEXT NOT NULL,
  code TEXT NOT NULL,
  name TEXT NOT NULL,
  price_low INTEGER NOT NULL,
  price_high INTEGER NOT NULL,
  cut_off INTEGER NOT NULL,
  position INTEGER NOT NULL,
  PRIMARY KEY(issue_key, code));
CREATE TABLE IF NOT EXISTS orders(
  order_number INTEGER PRIMARY KEY AUTOINCREMENT,
  application_number TEXT UNIQUE,
  issue_key TEXT NOT NULL,
  client_id TEXT NOT NULL,
  placed_by TEXT NOT NULL,
  category TEXT NOT NULL,
  reference1 TEXT NOT NULL,
  reference2 TEXT NOT NULL,
  payment_mode TEXT NOT NULL,
  upi_id TEXT NOT NULL,
  bank_name TEXT NOT NULL,
  bank_account TEXT NOT NULL,
  status TEXT NOT NULL,
  payment_status TEXT NOT NULL,
  bid_time TEXT NOT NULL,
  modified_time TEXT NOT NULL,
  rejection_reason TEXT NOT NULL DEFAULT '',
  allotted_quantity INTEGER NOT NULL DEFAULT 0,
  refund INTEGER NOT NULL DEFAULT 0,
  amount INTEGER NOT NULL,
  pan TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS bids(
  bid_id INTEGER PRIMARY KEY AUTOINCREMENT,
  order_number INTEGER NOT NULL,
  position INTEGER NOT NULL,
  reference TEXT UNIQUE,
  quantity INTEGER NOT NULL,
  cut_off INTEGER NOT NULL,
  price INTEGER NOT NULL,
  active INTEGER NOT NULL DEFAULT 1);
CREATE TABLE IF NOT EXISTS issue_splits(
  issue_key TEXT PRIMARY KEY,
  retail INTEGER NOT NULL,
  non_institutional INTEGER NOT NULL,
  institutional INTEGER NOT NULL,
  employee INTEGER NOT NULL,
  shareholder INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS issue_finals(
  issue_key TEXT PRIMARY KEY,
  price INTEGER NOT NULL,
  seed TEXT NOT NULL,
  finalised TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS orders_by_issue ON orders(issue_key, order_number);
CREATE INDEX IF NOT EXISTS orders_by_client ON orders(client_id, bid_time);
-- An order's active bids in position order, with every column read with them, so that reading
-- an issue's millions of applications never visits the bids' rows.
DROP INDEX IF EXISTS bids_by_order;
CREATE INDEX IF NOT EXISTS bids_of_order ON bids(order_number, active, position, quantity, cut_off,
                                                 price);
)sql";

// A client's live application for an issue is found without reading its past orders; the
// condition is the one the lookup states, word for word, so that SQLite uses the index.
std::string LiveOrdersIndex() {
    return "CREATE INDEX IF NOT EXISTS live_orders ON orders(client_id, issue_key) WHERE " +
           LiveStatusCondition();
}

}  // namespace

Query::~Query() {
    if (!statement_) {
        return;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Query& Query::Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Query& Query::Bind(int index, std::string_view value) {
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

bool Query::Next() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        return false;
    }
    throw StoreError(sqlite3_errmsg(db_));
}

void Query::Run() {
    while (Next()) {
    }
}

int64_t Query::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string Query::Text(int column) const {
    return std::string(View(column));
}

std::string_view Query::View(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string_view(text,
                                   static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string_view();
}

Store::Store(const std::string& path) : path_(path) {
    // A new database (and so its journal files, which take its mode) is its owner's alone.
    const int created = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (created >= 0) {
        close(created);
    }
    Open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    try {
        if (const std::string damage = QuickCheck(); damage != "ok") {
            throw StoreError("it is damaged (" + damage +
                             "); restore it from a backup before serving from it");
        }
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec(kSchema);
        Exec(LiveOrdersIndex().c_str());
    } catch (const StoreError& error) {
        Close();
        throw StoreError("cannot open " + path + ": " + error.what());
    }
    database_ = IdentityOf(path);
    journal_ = IdentityOf(path + "-wal");
    // A database made before users had passwords gets the column; its users sign in once an
    // operator has set their passwords ("ipo-service user passwd").
    if (!Prepare("SELECT 1 FROM pragma_table_info('users') WHERE name = 'password_hash'").Next()) {
        Exec("ALTER TABLE users ADD COLUMN password_hash TEXT NOT NULL DEFAULT ''");
    }
    // An application carries its bidder's PAN as it was when placed; orders placed before that
    // take their client's PAN now.
    if (!Prepare("SELECT 1 FROM pragma_table_info('orders') WHERE name = 'pan'").Next()) {
        Transaction transaction(*this);
        Exec("ALTER TABLE orders ADD COLUMN pan TEXT NOT NULL DEFAULT ''");
        Exec(
            "UPDATE orders SET pan = COALESCE((SELECT c.reference1 FROM clients c "
            "WHERE c.client_id = orders.client_id), '')");
        transaction.Commit();
    }
}

Store::Store(const std::string& path, ReadOnly) : path_(path) {
    Open(SQLITE_OPEN_READONLY);
}

// The connection is only used under the store's lock (or on one thread alone), which also guards
// the statement cache: SQLite's own mutex is not needed.
void Store::Open(int flags) {
    // SQLite's count of its memory in use takes a global mutex on every allocation; nothing here
    // reads it. Only possible before SQLite's first use in the process, which this is.
    static const int uncounted = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)uncounted;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + path_ + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
}

Store::~Store() {
    Close();
}

void Store::Close() {
    for (auto& [sql, statement] : statements_) {
        sqlite3_finalize(statement);
    }
    statements_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
}

void Store::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw StoreError(message);
    }
}

std::string Store::QuickCheck() {
    Query check = Prepare("PRAGMA quick_check(1)");
    return check.Next() ? check.Text(0) : "no answer";
}

int64_t Store::DataVersion() {
    Query version = Prepare("PRAGMA data_version");
    return version.Next() ? version.Int(0) : 0;
}

bool Store::IsEmpty() {
    Query query = Prepare("SELECT COUNT(*) FROM issues");
    return query.Next() && query.Int(0) == 0;
}

sqlite3_stmt* Store::Statement(const char* sql) {
    const auto found = statements_.find(std::string_view(sql));
    if (found != statements_.end()) {
        return found->second;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        throw StoreError(sqlite3_errmsg(db_));
    }
    statements_.emplace(sql, statement);
    return statement;
}

Store::FileIdentity Store::IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || info.st_nlink == 0) {
        return {};
    }
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

void Store::CheckFilesInPlace() {
    lost_ = lost_ || IdentityOf(path_) != database_ || IdentityOf(path_ + "-wal") != journal_;
    if (lost_) {
        throw StoreLost("the store's file " + path_ +
                        " was deleted or replaced while the service ran; nothing more is written "
                        "until the service is restarted");
    }
}

void Store::BeginBatch() {
    Run("BEGIN IMMEDIATE");
    inBatch_ = true;
}

void Store::CommitBatch() {
    CheckFilesInPlace();
    Run("COMMIT");
    inBatch_ = false;
    std::vector<std::function<void()>> then;
    then.swap(afterCommit_);
    for (const auto& step : then) {
        try {
            step();
        } catch (const std::exception&) {
            // The batch is committed; what follows a commit cannot undo it.
        }
    }
}

void Store::RollbackBatch() {
    inBatch_ = false;
    afterCommit_.clear();
    if (!sqlite3_get_autocommit(db_)) {
        Exec("ROLLBACK");
    }
}

void Store::AfterCommit(std::function<void()> then) {
    if (inBatch_) {
        afterCommit_.push_back(std::move(then));
    } else {
        then();
    }
}

Transaction::Transaction(Store& store) : store_(store), nested_(store.InBatch()) {
    store_.Run(nested_ ? "SAVEPOINT work" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            Rollback();
        } catch (const StoreError&) {
            // Nothing more can be done; the connection rolls back on its own when it closes.
        }
    }
}

void Transaction::Rollback() {
    done_ = true;
    if (nested_) {
        store_.Run("ROLLBACK TO work");
        store_.Run("RELEASE work");
    } else {
        store_.Run("ROLLBACK");
    }
}

void Transaction::Commit() {
    if (!nested_) {
        store_.CheckFilesInPlace();
    }
    store_.Run(nested_ ? "RELEASE work" : "COMMIT");
    done_ = true;
}

ReadSnapshot::ReadSnapshot(Store& store) : store_(store) {
    store_.Run("BEGIN");
}

ReadSnapshot::~ReadSnapshot() {
    // A read transaction has nothing to keep: should its end fail, a rollback still ends it, so
    // that the next request can begin its own.
    try {
        store_.Run("COMMIT");
        return;
    } catch (const StoreError&) {
    }
    try {
        store_.Run("ROLLBACK");
    } catch (const StoreError&) {
    }
}

}  // namespace svc
