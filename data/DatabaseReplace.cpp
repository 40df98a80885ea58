#include "data/DatabaseReplace.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "base/AtomicFile.h"
#include "data/Connection.h"
#include "data/DatabaseCopy.h"

namespace ledgerlift {
namespace {

constexpr int kLockWaitMs = 5000;

// The live database held by this program alone while it is replaced.
class HeldDatabase {
  public:
    explicit HeldDatabase(const std::string& path) : path_(path) {
        int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            Fail(rc);
        }
        sqlite3_busy_timeout(db_, kLockWaitMs);
        sqlite3_extended_result_codes(db_, 1);
    }
    ~HeldDatabase() {
        if (db_) {
            sqlite3_close_v2(db_);
        }
    }
    HeldDatabase(const HeldDatabase&) = delete;
    HeldDatabase& operator=(const HeldDatabase&) = delete;

    // Runs one statement; gives the first column of its first row.
    std::string Query(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr);
        if (rc != SQLITE_OK) {
            Fail(rc);
        }
        std::string first;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            if (first.empty() && text) {
                first = reinterpret_cast<const char*>(text);
            }
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            Fail(rc);
        }
        return first;
    }

  private:
    [[noreturn]] void Fail(int rc) {
        DataError error = SqliteError(db_, rc, path_, kLockWaitMs / 1000.0);
        throw error;
    }

    std::string path_;
    sqlite3* db_ = nullptr;
};

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        throw DataError("The file " + path + " could not be removed (" + FileFailureReason(errno) +
                        "), so the database beside it was not replaced.");
    }
}

void InUse(const std::string& live) {
    throw DataError("The database " + live +
                    " is open in another program, so it can't be replaced now. Close the other "
                    "program and try again.");
}

}  // namespace

void ReplaceDatabaseFile(const std::string& replacement, const std::string& live) {
    namespace fs = std::filesystem;
    std::string folder = fs::path(live).parent_path().string();
    if (fs::path(replacement).parent_path() != fs::path(live).parent_path()) {
        throw DataError("The replacement " + replacement + " must lie beside " + live + ".");
    }
    std::optional<HeldDatabase> held;
    struct stat liveStat {};
    if (::stat(live.c_str(), &liveStat) == 0) {
        if (!S_ISREG(liveStat.st_mode)) {
            throw DataError("The database path " + live + " is not a file.");
        }
        held.emplace(live);
        // Reading first rolls back what a crashed writer left in a journal.
        held->Query("select count(*) from sqlite_master");
        if (held->Query("pragma journal_mode=DELETE") != "delete") {
            InUse(live);
        }
        held->Query("pragma locking_mode=EXCLUSIVE");
        held->Query("begin exclusive");
        held->Query("commit");
        if (Exists(WalPath(live))) {
            InUse(live);  // another program opened it with a log after all
        }
        ::chmod(replacement.c_str(), liveStat.st_mode & 07777);
    } else {
        // Nothing of a database that is gone may be applied to the new one.
        Remove(JournalPath(live));
        Remove(WalPath(live));
    }
    Remove(ShmPath(live));
    if (::rename(replacement.c_str(), live.c_str()) != 0) {
        throw DataError("The database " + live + " could not be replaced by " + replacement + " (" +
                        FileFailureReason(errno) + ").");
    }
    try {
        SyncPath(folder.empty() ? "." : folder, true);
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
}

}  // namespace ledgerlift
