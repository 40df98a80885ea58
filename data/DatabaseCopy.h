#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "data/Connection.h"
#include "data/LockWait.h"

namespace ledgerlift {

enum class CheckDepth {
    Quick,  // PRAGMA quick_check: every page and record readable, in order
    Full    // PRAGMA integrity_check: that, and every index agrees with its table
};

// Checks a database file, opened read-only. Gives "" when it passes, else a
// sentence that names the file and the first problem found (a damaged page,
// a file that is not a database, one that can't be opened, one that another
// program kept locked for longer than lockWait).
std::string DatabaseProblem(const std::string& path, CheckDepth depth,
                            std::chrono::milliseconds lockWait = kDefaultLockWait);

// Called with the copy complete and checked, just before it takes its name;
// given the file the copy is in until then.
using BeforeRename = std::function<void(const std::string& copy)>;

// Copies the database that source is open on into the new file target with
// SQLite's online backup API: a consistent copy of everything committed,
// even while other connections read. The copy is written under a temporary
// name beside target, switched to a rollback journal (so that it is one
// self-contained file), checked with quick_check, flushed to the disk and
// only then renamed to target, and the folder flushed: a crash, a kill or a
// full disk never leaves a half copy under target's name. On failure nothing
// is left behind and DataError tells what happened, naming the file. A
// source that another program is writing to is waited for as long as the
// connection waits for a lock.
void CopyDatabase(Connection& source, const std::string& target,
                  const BeforeRename& beforeRename = {});

// The same from a database file, which is opened read-only and left as it is.
void CopyDatabaseFile(const std::string& sourcePath, const std::string& target,
                      const BeforeRename& beforeRename = {},
                      std::chrono::milliseconds lockWait = kDefaultLockWait);

// The files SQLite may keep beside a database: its rollback journal, its
// write-ahead log and that log's index.
std::string JournalPath(const std::string& database);
std::string WalPath(const std::string& database);
std::string ShmPath(const std::string& database);

}  // namespace ledgerlift
