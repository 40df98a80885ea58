#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "data/DataError.h"
#include "data/LockWait.h"
#include "data/Sql.h"
#include "data/SqliteHandle.h"
#include "data/Statement.h"

struct sqlite3;

namespace ledgerlift {

class StatementCache;

// A connection to one database file, with the operations the rest of the
// program calls on it. The connection string keeps the product's form
// ("Provider=...;Data Source=<file>;...;Jet OLEDB:Database Password=...");
// only the Data Source matters here. The password is accepted and ignored:
// SQLite files carry no password.
//
// Opening never creates a file. Every failure throws DataError whose
// description is meant for the operator.
//
// Statements stay prepared in a cache (see StatementCache) between uses: to
// its callers and in the database the connection behaves exactly as if every
// text were prepared afresh, only faster. A statement built with its values
// (see Sql) runs with them bound to the statement kept for its form, and
// behaves as its literal text would.
class Connection {
  public:
    enum State { adStateClosed = 0, adStateOpen = 1 };

    static constexpr std::size_t kDefaultStatementCache = 512;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Open(const std::string& connectionString);
    // The same for reading alone: nothing can be written over the connection
    // (a statement that would write fails), and opening it changes nothing
    // of the file.
    void OpenReadOnly(const std::string& connectionString);
    bool ReadOnly() const { return readOnly_; }
    int State() const { return db_ ? adStateOpen : adStateClosed; }
    bool IsOpen() const { return db_ != nullptr; }
    void Close();

    // Runs one statement; gives the number of records it changed.
    long Execute(const std::string& statement);
    long Execute(const Sql& statement);

    // Transactions nest: an inner BeginTrans opens a savepoint inside the
    // outer transaction, and its RollbackTrans undoes only what came after it.
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int TransactionDepth() const { return depth_; }

    // After some failures (a full disk, an I/O error) the database undoes the
    // whole open transaction by itself. The connection then refuses every
    // further statement, so that nothing is written outside the transaction
    // its callers believe open, until it is closed; this gives the sentence
    // that says what happened ("" while nothing was lost). Whoever owns the
    // transaction may also declare it lost after a commit that failed.
    const std::string& TransactionLost() const { return lost_; }
    void MarkTransactionLost(const std::string& reason);
    // Called by the statements run over this connection when one failed.
    void NoteFailure(const DataError& error);

    // A write-ahead journal with normal synchronisation: a commit costs no
    // disk flush, and a crash or power cut can still never corrupt the file
    // (it can only lose the most recent commits). Flush() makes everything
    // committed so far durable; Close() flushes too.
    void UseFastCommits();
    void Flush();

    // Closes and opens the same database again, with the same journal. Ends
    // every lock the connection holds (an exclusive locking mode included).
    void Reopen();

    // The rows the database has inserted, updated or deleted over this
    // connection since it was first opened (reopening included); rows of
    // statements later undone count too. What a run changed is the
    // difference between two readings.
    std::int64_t RowsChanged() const;

    // Sees every statement sent over this connection, as it is sent (for
    // measurements and diagnostics); none by default. A built statement is
    // seen as its literal text, which is only written out for a tracer.
    void SetTracer(std::function<void(const std::string&)> tracer) { tracer_ = std::move(tracer); }
    void Trace(const std::string& statement) const {
        if (tracer_) {
            tracer_(statement);
        }
    }
    bool Tracing() const { return static_cast<bool>(tracer_); }

    const std::string& Path() const { return path_; }
    sqlite3* Handle() const { return db_.get(); }

    // How long a statement waits for a lock that another program holds
    // before it fails. Kept across Close and Open; takes effect at once.
    void SetLockWait(std::chrono::milliseconds wait);
    std::chrono::milliseconds LockWait() const { return lockWait_; }

    // How many statements stay prepared; 0 prepares every text afresh (to
    // compare against). Kept across Close and Open; takes effect at once.
    void SetStatementCacheSize(std::size_t statements);
    std::size_t StatementCacheSize() const { return cacheSize_; }
    // The statements prepared in the cache just now.
    std::size_t CachedStatements() const;

    // The Data Source of a connection string ("" when there is none).
    static std::string DataSource(const std::string& connectionString);

  private:
    friend class Recordset;

    void OpenWith(const std::string& connectionString, bool readOnly);
    void RequireOpen() const;
    // The first statement of sql (already in SQLite's dialect), from the
    // cache when the text allows.
    Statement Prepare(const std::string& sql);
    // The first statement of a built statement, from the cache with its
    // values bound, else its literal text (written into literal when
    // empty); sql must outlive the statement.
    Statement Prepare(const Sql& sql, std::string& literal);
    // Runs every statement of a text in the product's dialect, each prepared
    // afresh; gives the records the last one changed.
    long RunAfresh(const std::string& statement);
    void StartCache();

    SqliteHandle db_;
    std::string path_;
    int depth_ = 0;
    bool fastCommits_ = false;
    bool readOnly_ = false;
    std::string lost_;
    std::function<void(const std::string&)> tracer_;
    std::size_t cacheSize_ = kDefaultStatementCache;
    std::chrono::milliseconds lockWait_ = kDefaultLockWait;
    std::int64_t changedBeforeReopen_ = 0;
    std::unique_ptr<StatementCache> cache_;
};

// The description of a failed SQLite call, in words for the operator.
// waitedSeconds is how long the call waited for a lock, when it is known
// (negative when not): a lock is said to have stayed for as long as the call
// really waited, and without a time when it did not wait or the time is not
// known.
DataError SqliteError(sqlite3* db, int rc, const std::string& path, double waitedSeconds = -1);

// How long a lock wait took, as the operator reads it: "5 seconds",
// "0.2 seconds", "0.06 seconds".
std::string WaitText(double seconds);

}  // namespace ledgerlift
