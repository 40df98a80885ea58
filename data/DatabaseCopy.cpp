#include "data/DatabaseCopy.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "base/AtomicFile.h"
#include "data/SqliteHandle.h"
#include "data/Statement.h"

namespace ledgerlift {
namespace {

// The online backup of one database into another, finished however the scope
// is left.
struct BackupFinisher {
    void operator()(sqlite3_backup* backup) const noexcept { sqlite3_backup_finish(backup); }
};
using PageCopy = std::unique_ptr<sqlite3_backup, BackupFinisher>;

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
    Statement check(
        db, depth == CheckDepth::Full ? "pragma integrity_check(1)" : "pragma quick_check(1)",
        path);
    if (!check.Step()) {
        return "";
    }
    const unsigned char* text = sqlite3_column_text(check.Handle(), 0);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void RemoveCopy(const std::string& path) {
    for (const std::string& file : {JournalPath(path), WalPath(path), ShmPath(path)}) {
        ::unlink(file.c_str());
    }
}

// Copies every page of source into dest. Another program writing to the
// source holds it for a moment; that is waited for, up to lockWait, as the
// connections wait.
void CopyAllPages(sqlite3* source, const std::string& sourcePath, sqlite3* dest,
                  const std::string& target, std::chrono::milliseconds lockWait) {
    PageCopy backup(sqlite3_backup_init(dest, "main", source, "main"));
    if (!backup) {
        throw SqliteError(dest, sqlite3_errcode(dest), target);
    }
    auto start = std::chrono::steady_clock::now();
    int rc;
    while (true) {
        rc = sqlite3_backup_step(backup.get(), -1);
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) ||
            std::chrono::steady_clock::now() - start >= lockWait) {
            break;
        }
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
            std::chrono::milliseconds(50), lockWait / 10 + std::chrono::milliseconds(1)));
    }
    backup.reset();
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        throw SqliteError(
            nullptr, rc, sourcePath,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (rc != SQLITE_DONE) {
        throw CopyError(dest, rc, target);
    }
}

// Copies every page of source into the new, empty file at path and leaves
// it as one checked file with a rollback journal.
void CopyPages(sqlite3* source, const std::string& sourcePath, const std::string& path,
               const std::string& target, std::chrono::milliseconds lockWait) {
    SqliteHandle dest = OpenSqlite(path, SQLITE_OPEN_READWRITE);
    // A temporary file needs no journal and no flush of its own: it is
    // flushed once, whole, before it takes its name.
    Run(dest.get(), "pragma journal_mode=OFF; pragma synchronous=OFF", target);
    CopyAllPages(source, sourcePath, dest.get(), target, lockWait);
    // The pages carry the source's journal mode; a copy of a database with a
    // write-ahead log would otherwise want one beside it.
    Run(dest.get(), "pragma journal_mode=DELETE", target);
    std::string check = CheckResult(dest.get(), CheckDepth::Quick, target);
    if (check != "ok") {
        throw DataError("The copy " + target + " did not pass its check (" + check +
                        "), so it was not kept.");
    }
}

void CopyInto(sqlite3* source, const std::string& sourcePath, const std::string& target,
              const BeforeRename& beforeRename, std::chrono::milliseconds lockWait) {
    try {
        AtomicFile file(target);
        try {
            CopyPages(source, sourcePath, file.TemporaryPath(), target, lockWait);
            if (beforeRename) {
                beforeRename(file.TemporaryPath());
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

std::string DatabaseProblem(const std::string& path, CheckDepth depth,
                            std::chrono::milliseconds lockWait) {
    try {
        if (::access(path.c_str(), F_OK) != 0) {
            return "The file " + path + " could not be found.";
        }
        SqliteHandle db = OpenSqlite(path, SQLITE_OPEN_READONLY, lockWait);
        std::string result = CheckResult(db.get(), depth, path);
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
    CopyInto(source.Handle(), source.Path(), target, beforeRename, source.LockWait());
}

void CopyDatabaseFile(const std::string& sourcePath, const std::string& target,
                      const BeforeRename& beforeRename, std::chrono::milliseconds lockWait) {
    if (::access(sourcePath.c_str(), F_OK) != 0) {
        throw DataError("The database file " + sourcePath + " could not be found.");
    }
    SqliteHandle source = OpenSqlite(sourcePath, SQLITE_OPEN_READONLY, lockWait);
    CopyInto(source.get(), sourcePath, target, beforeRename, lockWait);
}

}  // namespace ledgerlift
