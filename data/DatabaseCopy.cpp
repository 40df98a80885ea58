#include "data/DatabaseCopy.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/AtomicFile.h"

namespace ledgerlift {
namespace {

constexpr auto kSourceLockWait = std::chrono::seconds(5);

// An SQLite handle closed however the scope is left.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { Close(); }
    void Close() {
        if (db) {
            sqlite3_close_v2(db);
            db = nullptr;
        }
    }
};

sqlite3* OpenFile(const std::string& path, int flags, Handle& handle) {
    int rc = sqlite3_open_v2(path.c_str(), &handle.db, flags, nullptr);
    if (rc != SQLITE_OK) {
        DataError error = SqliteError(handle.db, rc, path);
        handle.Close();
        throw error;
    }
    sqlite3_extended_result_codes(handle.db, 1);
    return handle.db;
}

// A failure while writing the copy. A write the system refuses short of a
// full disk (a file-size limit, a failing disk) is an I/O error to SQLite;
// the sentence still names the copy.
DataError CopyError(sqlite3* db, int rc, const std::string& target) {
    if ((rc & 0xff) == SQLITE_IOERR) {
        return DataError("The copy " + target + " could not be written (" + sqlite3_errmsg(db) +
                         "; the disk may be full or failing), so it was not kept.");
    }
    return SqliteError(db, rc, target);
}

void Run(sqlite3* db, const char* sql, const std::string& path) {
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        throw CopyError(db, rc, path);
    }
}

// The first line a check pragma gives: "ok" when the database passes.
std::string CheckResult(sqlite3* db, CheckDepth depth, const std::string& path) {
    const char* sql =
        depth == CheckDepth::Full ? "pragma integrity_check(1)" : "pragma quick_check(1)";
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        throw SqliteError(db, rc, path);
    }
    rc = sqlite3_step(stmt);
    std::string result;
    if (rc == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        result = text ? reinterpret_cast<const char*>(text) : "";
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        throw SqliteError(db, rc, path);
    }
    return result;
}

void RemoveCopy(const std::string& path) {
    for (const std::string& file : {JournalPath(path), WalPath(path), ShmPath(path)}) {
        ::unlink(file.c_str());
    }
}

// Copies every page of source into the new, empty file at path and leaves
// it as one checked file with a rollback journal.
void CopyPages(sqlite3* source, const std::string& sourcePath, const std::string& path,
               const std::string& target) {
    Handle dest;
    OpenFile(path, SQLITE_OPEN_READWRITE, dest);
    // A temporary file needs no journal and no flush of its own: it is
    // flushed once, whole, before it takes its name.
    Run(dest.db, "pragma journal_mode=OFF; pragma synchronous=OFF", target);
    sqlite3_backup* backup = sqlite3_backup_init(dest.db, "main", source, "main");
    if (!backup) {
        throw SqliteError(dest.db, sqlite3_errcode(dest.db), target);
    }
    auto start = std::chrono::steady_clock::now();
    int rc;
    // Another program writing to the source holds it for a moment; wait for
    // it as the connections do.
    while (true) {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) ||
            std::chrono::steady_clock::now() - start > kSourceLockWait) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        throw SqliteError(
            nullptr, rc, sourcePath,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (rc != SQLITE_DONE) {
        throw CopyError(dest.db, rc, target);
    }
    // The pages carry the source's journal mode; a copy of a database with a
    // write-ahead log would otherwise want one beside it.
    Run(dest.db, "pragma journal_mode=DELETE", target);
    std::string check = CheckResult(dest.db, CheckDepth::Quick, target);
    if (check != "ok") {
        throw DataError("The copy " + target + " did not pass its check (" + check +
                        "), so it was not kept.");
    }
    dest.Close();
}

void CopyInto(sqlite3* source, const std::string& sourcePath, const std::string& target,
              const BeforeRename& beforeRename) {
    try {
        AtomicFile file(target);
        try {
            CopyPages(source, sourcePath, file.TemporaryPath(), target);
            if (beforeRename) {
                beforeRename();
            }
            file.Commit();
        } catch (...) {
            RemoveCopy(file.TemporaryPath());
            throw;
        }
        RemoveCopy(file.TemporaryPath());
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
}

}  // namespace

std::string JournalPath(const std::string& database) {
    return database + "-journal";
}
std::string WalPath(const std::string& database) {
    return database + "-wal";
}
std::string ShmPath(const std::string& database) {
    return database + "-shm";
}

std::string DatabaseProblem(const std::string& path, CheckDepth depth) {
    try {
        if (::access(path.c_str(), F_OK) != 0) {
            return "The file " + path + " could not be found.";
        }
        Handle db;
        OpenFile(path, SQLITE_OPEN_READONLY, db);
        sqlite3_busy_timeout(db.db, 5000);
        std::string result = CheckResult(db.db, depth, path);
        if (result == "ok") {
            return "";
        }
        return "The database " + path + " is damaged (" +
               (depth == CheckDepth::Full ? "integrity check: " : "quick check: ") + result + ").";
    } catch (const DataError& error) {
        return error.Description();
    }
}

void CopyDatabase(Connection& source, const std::string& target, const BeforeRename& beforeRename) {
    if (!source.IsOpen()) {
        throw DataError("There is no open database to copy to " + target + ".");
    }
    CopyInto(source.Handle(), source.Path(), target, beforeRename);
}

void CopyDatabaseFile(const std::string& sourcePath, const std::string& target,
                      const BeforeRename& beforeRename) {
    if (::access(sourcePath.c_str(), F_OK) != 0) {
        throw DataError("The database file " + sourcePath + " could not be found.");
    }
    Handle source;
    OpenFile(sourcePath, SQLITE_OPEN_READONLY, source);
    sqlite3_busy_timeout(source.db, 5000);
    CopyInto(source.db, sourcePath, target, beforeRename);
}

}  // namespace ledgerlift
