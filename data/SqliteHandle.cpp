#include "data/SqliteHandle.h"

#include <sqlite3.h>

#include "data/Connection.h"

namespace ledgerlift {

void SqliteCloser::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
}

void SetLockWait(sqlite3* db, std::chrono::milliseconds lockWait) {
    sqlite3_busy_timeout(db, static_cast<int>(lockWait.count()));
}

SqliteHandle OpenSqlite(const std::string& path, int flags, std::chrono::milliseconds lockWait) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    // SQLite gives a handle even when the open fails: it carries the reason.
    SqliteHandle db(raw);
    if (rc != SQLITE_OK) {
        throw SqliteError(db.get(), rc, path);
    }
    sqlite3_extended_result_codes(db.get(), 1);
    SetLockWait(db.get(), lockWait);
    return db;
}

}  // namespace ledgerlift
