#include "data/DatabaseReplace.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "base/AtomicFile.h"
#include "data/Connection.h"
#include "data/DatabaseCopy.h"
#include "data/SqliteHandle.h"
#include "data/Statement.h"

namespace ledgerlift {
namespace {

[[noreturn]] void InUse(const std::string& live) {
    throw DataError("The database " + live +
                    " is open in another program, so it can't be replaced now. Close the other "
                    "program and try again.");
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The live database held by this program alone while it is replaced.
class HeldDatabase {
  public:
    HeldDatabase(const std::string& path, std::chrono::milliseconds lockWait)
        : path_(path), db_(OpenSqlite(path, SQLITE_OPEN_READWRITE, lockWait)) {}

    // Reads the schema, which also rolls back what a crashed writer left in
    // a journal. Gives false for a file whose header or schema SQLite can't
    // read when damageAllowed, and throws DataError for it otherwise.
    bool ReadSchema(bool damageAllowed) {
        auto start = std::chrono::steady_clock::now();
        int rc = sqlite3_exec(db_.get(), "select count(*) from sqlite_master", nullptr, nullptr,
                              nullptr);
        if (rc == SQLITE_OK) {
            return true;
        }
        if (damageAllowed && ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)) {
            return false;
        }
        throw SqliteError(db_.get(), rc, path_, SecondsSince(start));
    }

    // Runs one statement; gives the first column of its first row.
    std::string Query(const char* sql) {
        Statement statement(db_.get(), sql, path_);
        std::string first;
        for (bool firstRow = true; statement.Step(); firstRow = false) {
            const unsigned char* text = sqlite3_column_text(statement.Handle(), 0);
            if (firstRow && text) {
                first = reinterpret_cast<const char*>(text);
            }
        }
        return first;
    }

    // Steps 1 and 2: out of its log and locked for this program alone.
    void TakeForThisProgram() {
        if (Query("pragma journal_mode=DELETE") != "delete") {
            InUse(path_);
        }
        Query("pragma locking_mode=EXCLUSIVE");
        Query("begin exclusive");
        Query("commit");
        if (::access(WalPath(path_).c_str(), F_OK) == 0) {
            InUse(path_);  // another program opened it with a log after all
        }
    }

  private:
    std::string path_;
    SqliteHandle db_;
};

// Where SQLite takes its locks on a database file (the pending, reserved and
// shared bytes, 512 in all from 1 GiB), and on the index of its write-ahead
// log (the eight locks of the log and the byte that every connection with the
// log open holds while it has it open).
constexpr off_t kDatabaseLockStart = 0x40000000;
constexpr off_t kDatabaseLockLength = 512;
constexpr off_t kLogIndexLockStart = 120;
constexpr off_t kLogIndexLockLength = 9;

// A write lock on bytes of a file, as SQLite itself takes them, held while
// this object lives. Another program that has the file open through SQLite
// holds a lock in the way, and is found out.
class HeldBytes {
  public:
    HeldBytes(const std::string& path, const std::string& live, off_t start, off_t length)
        : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW)) {
        if (fd_ < 0) {
            throw DataError("The file " + path + " could not be opened (" +
                            FileFailureReason(errno) + "), so the database " + live +
                            " was not replaced.");
        }
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = start;
        lock.l_len = length;
        if (::fcntl(fd_, F_SETLK, &lock) != 0) {
            ::close(fd_);
            InUse(live);
        }
    }
    ~HeldBytes() { ::close(fd_); }
    HeldBytes(const HeldBytes&) = delete;
    HeldBytes& operator=(const HeldBytes&) = delete;

  private:
    int fd_;
};

// A live database that SQLite can't read, held against every program that
// uses SQLite.
struct HeldDamagedDatabase {
    explicit HeldDamagedDatabase(const std::string& live)
        : file(live, live, kDatabaseLockStart, kDatabaseLockLength) {
        if (::access(ShmPath(live).c_str(), F_OK) == 0) {
            index.emplace(ShmPath(live), live, kLogIndexLockStart, kLogIndexLockLength);
        }
    }
    HeldBytes file;
    std::optional<HeldBytes> index;
};

void Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        throw DataError("The file " + path + " could not be removed (" + FileFailureReason(errno) +
                        "), so the database beside it was not replaced.");
    }
}

// Nothing of the old database's journal or log may be applied to the new one.
void RemoveJournals(const std::string& live) {
    Remove(JournalPath(live));
    Remove(WalPath(live));
}

void Rename(const std::string& replacement, const std::string& live, const std::string& folder) {
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

}  // namespace

void ReplaceDatabaseFile(const std::string& replacement, const std::string& live,
                         LiveDatabase state, std::chrono::milliseconds lockWait) {
    namespace fs = std::filesystem;
    std::string folder = fs::path(live).parent_path().string();
    if (fs::path(replacement).parent_path() != fs::path(live).parent_path()) {
        throw DataError("The replacement " + replacement + " must lie beside " + live + ".");
    }
    std::optional<HeldDatabase> held;
    std::optional<HeldDamagedDatabase> heldDamaged;
    struct stat liveStat {};
    if (::stat(live.c_str(), &liveStat) == 0) {
        if (!S_ISREG(liveStat.st_mode)) {
            throw DataError("The database path " + live + " is not a file.");
        }
        held.emplace(live, lockWait);
        if (held->ReadSchema(state == LiveDatabase::MayBeDamaged)) {
            held->TakeForThisProgram();
        } else {
            held.reset();
            heldDamaged.emplace(live);
            RemoveJournals(live);
        }
        ::chmod(replacement.c_str(), liveStat.st_mode & 07777);
    } else {
        RemoveJournals(live);
    }
    Remove(ShmPath(live));
    Rename(replacement, live, folder);
}

}  // namespace ledgerlift
