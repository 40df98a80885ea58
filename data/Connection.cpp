#include "data/Connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>

#include "data/Dialect.h"
#include "data/Statement.h"
#include "data/StatementCache.h"

namespace ledgerlift {
namespace {

// A lock that ended a call sooner than this was not waited for: SQLite gives
// up at once where waiting could never end (two programs that each wait for
// the other).
constexpr double kShortestWaitTold = 0.005;

std::string Lower(std::string s) {
    for (auto& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

DataError UniqueKeyError(const std::string& engineMessage) {
    // SQLite says "UNIQUE constraint failed: tblItemMaster.ItemCode".
    std::string where = engineMessage;
    if (auto colon = engineMessage.find(": "); colon != std::string::npos) {
        where = engineMessage.substr(colon + 2);
    }
    return DataError("The record was not saved because it would repeat a value of " + where +
                     ", which must be unique (UNIQUE KEY).");
}

DataError LockedError(const std::string& path, double waitedSeconds) {
    if (waitedSeconds < kShortestWaitTold) {
        return DataError("The database " + path +
                         " is in use by another program, which holds it locked. Close the other "
                         "program and try again.");
    }
    return DataError("The database " + path +
                     " is in use by another program and stayed locked for " +
                     WaitText(waitedSeconds) + ". Close the other program and try again.");
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::string WaitText(double seconds) {
    char buf[32];
    if (seconds >= 1) {
        std::snprintf(buf, sizeof buf, "%.0f second%s", seconds, seconds >= 1.5 ? "s" : "");
    } else if (seconds >= 0.095) {
        std::snprintf(buf, sizeof buf, "%.1f seconds", seconds);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f seconds", seconds);
    }
    return buf;
}

DataError SqliteError(sqlite3* db, int rc, const std::string& path, double waitedSeconds) {
    std::string engine = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    int extended = db ? sqlite3_extended_errcode(db) : rc;
    switch (rc & 0xff) {
        case SQLITE_CONSTRAINT:
            if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY ||
                extended == SQLITE_CONSTRAINT_ROWID) {
                return UniqueKeyError(engine);
            }
            return DataError("The record was not saved because it breaks a rule of the database (" +
                             engine + ").");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return LockedError(path, waitedSeconds);
        case SQLITE_NOTADB:
            return DataError("The file " + path + " is not a database that Ledgerlift can open.");
        case SQLITE_CORRUPT:
            return DataError("The database " + path + " is damaged (" + engine + ").");
        case SQLITE_READONLY:
            return DataError("The database " + path +
                             " can only be read; nothing can be saved in it.");
        case SQLITE_FULL:
            return DataError("The disk that holds " + path + " is full.");
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return DataError("The database " + path + " could not be opened (" + engine + ").");
        default:
            return DataError("The database could not carry out the statement (" + engine + ").");
    }
}

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (const DataError&) {
        // Nothing can be reported from a destructor; the file stays consistent.
    }
}

std::string Connection::DataSource(const std::string& connectionString) {
    std::string lower = Lower(connectionString);
    const std::string key = "data source=";
    auto pos = lower.find(key);
    if (pos == std::string::npos) {
        return "";
    }
    pos += key.size();
    auto end = connectionString.find(';', pos);
    return connectionString.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

void Connection::Open(const std::string& connectionString) {
    OpenWith(connectionString, false);
    changedBeforeReopen_ = 0;
}

void Connection::OpenReadOnly(const std::string& connectionString) {
    OpenWith(connectionString, true);
    changedBeforeReopen_ = 0;
}

void Connection::OpenWith(const std::string& connectionString, bool readOnly) {
    if (db_) {
        throw DataError("The connection is already open.");
    }
    std::string path = DataSource(connectionString);
    if (path.empty()) {
        throw DataError("The connection names no database file.");
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        throw DataError("The database file " + path + " could not be found.");
    }
    if (!S_ISREG(st.st_mode)) {
        throw DataError("The database path " + path + " is not a file.");
    }
    // A connection is used by one thread at a time: SQLite need not lock it
    // around every call. Reading alone opens it for writing too where the
    // file allows (and refuses every write below): a connection opened for
    // reading only can't remove the write-ahead log and its index when it
    // is the last to close, and so left them beside the database.
    SqliteHandle db = OpenSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, lockWait_);
    if (readOnly) {
        if (int rc = sqlite3_exec(db.get(), "pragma query_only=1", nullptr, nullptr, nullptr);
            rc != SQLITE_OK) {
            throw SqliteError(db.get(), rc, path);
        }
    }
    // Savepoints inside a transaction keep their undo data in memory rather
    // than in a temporary file: a run nests one per stock posting and voucher.
    sqlite3_exec(db.get(), "pragma temp_store=MEMORY", nullptr, nullptr, nullptr);
    // Reading the schema tells a database from any other file, and waits
    // for a lock held by another program.
    auto start = std::chrono::steady_clock::now();
    int rc =
        sqlite3_exec(db.get(), "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        throw SqliteError(db.get(), rc, path, SecondsSince(start));
    }
    db_ = std::move(db);
    path_ = path;
    depth_ = 0;
    fastCommits_ = false;
    readOnly_ = readOnly;
    lost_.clear();
    StartCache();
}

void Connection::StartCache() {
    cache_.reset();
    if (db_ && cacheSize_ > 0) {
        cache_ = std::make_unique<StatementCache>(db_.get(), path_, cacheSize_);
    }
}

void Connection::SetLockWait(std::chrono::milliseconds wait) {
    lockWait_ = wait;
    if (db_) {
        ledgerlift::SetLockWait(db_.get(), wait);
    }
}

void Connection::SetStatementCacheSize(std::size_t statements) {
    cacheSize_ = statements;
    StartCache();
}

std::size_t Connection::CachedStatements() const {
    return cache_ ? cache_->Size() : 0;
}

void Connection::Close() {
    if (!db_) {
        return;
    }
    cache_.reset();  // finalises every statement it kept
    if (depth_ > 0) {
        sqlite3_exec(db_.get(), "rollback", nullptr, nullptr, nullptr);
        depth_ = 0;
    }
    if (fastCommits_) {
        sqlite3_exec(db_.get(), "pragma wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    }
    db_.reset();
    lost_.clear();
}

void Connection::MarkTransactionLost(const std::string& reason) {
    if (lost_.empty()) {
        lost_ = "Nothing more was written to " + path_ +
                ": the rows not yet saved were undone after this failure: " + reason;
    }
}

void Connection::NoteFailure(const DataError& error) {
    // The database undid the transaction by itself when it is back in
    // autocommit mode while we still count open levels.
    if (db_ && depth_ > 0 && sqlite3_get_autocommit(db_.get())) {
        depth_ = 0;
        MarkTransactionLost(error.Description());
    }
}

void Connection::RequireOpen() const {
    if (!db_) {
        throw DataError(
            "The operation is not allowed while the connection to the database is closed.");
    }
    if (!lost_.empty()) {
        throw DataError(lost_);
    }
}

long Connection::Execute(const std::string& statement) {
    RequireOpen();
    Trace(statement);
    try {
        if (cache_) {
            std::string converted;
            if (std::optional<Statement> stmt = cache_->Acquire(ToSqlite(statement, converted))) {
                stmt->Run();
                return sqlite3_changes(db_.get());
            }
        }
        return RunAfresh(statement);
    } catch (const DataError& error) {
        NoteFailure(error);
        throw;
    }
}

long Connection::Execute(const Sql& statement) {
    RequireOpen();
    std::string literal;
    if (Tracing()) {
        literal = statement.Text();
        Trace(literal);
    }
    try {
        if (cache_) {
            if (std::optional<Statement> stmt = cache_->Acquire(statement)) {
                stmt->Run();
                return sqlite3_changes(db_.get());
            }
        }
        return RunAfresh(literal.empty() ? statement.Text() : literal);
    } catch (const DataError& error) {
        NoteFailure(error);
        throw;
    }
}

long Connection::RunAfresh(const std::string& statement) {
    std::string converted;
    const std::string& sql = ToSqlite(statement, converted);
    long changed = 0;
    const char* tail = sql.c_str();
    while (tail && *tail) {
        Statement stmt(db_.get(), tail, path_, &tail);
        if (stmt.Empty()) {
            break;  // only blanks or a comment were left
        }
        stmt.Run();
        changed = sqlite3_changes(db_.get());
    }
    return changed;
}

Statement Connection::Prepare(const std::string& sql) {
    if (cache_) {
        if (std::optional<Statement> stmt = cache_->Acquire(sql)) {
            return std::move(*stmt);
        }
    }
    return Statement(db_.get(), sql.c_str(), path_);
}

Statement Connection::Prepare(const Sql& sql, std::string& literal) {
    if (cache_) {
        if (std::optional<Statement> stmt = cache_->Acquire(sql)) {
            return std::move(*stmt);
        }
    }
    if (literal.empty()) {
        literal = sql.Text();
    }
    std::string converted;
    return Statement(db_.get(), ToSqlite(literal, converted).c_str(), path_);
}

int Connection::BeginTrans() {
    RequireOpen();
    Execute("savepoint ll_" + std::to_string(depth_ + 1));
    return ++depth_;
}

void Connection::CommitTrans() {
    RequireOpen();
    if (depth_ == 0) {
        throw DataError("There is no open transaction to commit.");
    }
    Execute("release ll_" + std::to_string(depth_));
    --depth_;
}

void Connection::RollbackTrans() {
    RequireOpen();
    if (depth_ == 0) {
        throw DataError("There is no open transaction to roll back.");
    }
    if (depth_ == 1) {
        // The outermost level undoes the whole transaction: releasing a
        // rolled-back savepoint would still commit, and touch the file.
        Execute("rollback");
    } else {
        std::string name = "ll_" + std::to_string(depth_);
        Execute("rollback to " + name);
        Execute("release " + name);
    }
    --depth_;
}

void Connection::UseFastCommits() {
    RequireOpen();
    Execute("pragma journal_mode=WAL");
    Execute("pragma synchronous=NORMAL");
    fastCommits_ = true;
}

void Connection::Reopen() {
    if (!db_) {
        throw DataError(
            "The operation is not allowed while the connection to the database is closed.");
    }
    std::string path = path_;
    bool fast = fastCommits_;
    changedBeforeReopen_ = RowsChanged();
    Close();
    OpenWith("Data Source=" + path, readOnly_);
    if (fast) {
        UseFastCommits();
    }
}

std::int64_t Connection::RowsChanged() const {
    return changedBeforeReopen_ + (db_ ? sqlite3_total_changes64(db_.get()) : 0);
}

void Connection::Flush() {
    RequireOpen();
    if (fastCommits_ && depth_ == 0) {
        Execute("pragma wal_checkpoint(FULL)");
    }
}

}  // namespace ledgerlift
