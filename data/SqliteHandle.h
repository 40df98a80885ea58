#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "data/LockWait.h"

struct sqlite3;

namespace ledgerlift {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept;
};

// An SQLite connection, closed however its scope is left.
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// Opens the database file at path with SQLite's open flags, with extended
// result codes, waiting up to lockWait for another program's lock. Throws
// DataError naming the file when it can't be opened.
SqliteHandle OpenSqlite(const std::string& path, int flags,
                        std::chrono::milliseconds lockWait = kDefaultLockWait);

// Waits up to lockWait for another program's lock on every later call.
void SetLockWait(sqlite3* db, std::chrono::milliseconds lockWait);

}  // namespace ledgerlift
