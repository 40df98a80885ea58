#pragma once

#include <chrono>
#include <string>

#include "data/LockWait.h"

namespace ledgerlift {

// What the caller knows of the live database it replaces.
enum class LiveDatabase {
    Sound,        // a database SQLite reads: anything else is refused
    MayBeDamaged  // kept elsewhere already: replaced even when SQLite can't read it
};

// Puts the database file replacement (complete, checked, flushed, beside the
// live file in the same folder) in the place of the live database, so that
// a kill or a crash at any moment leaves either the old database or the new
// one under the live name, whole:
//  1. the live database is opened and moved out of its write-ahead log: the
//     log is written back into the file and deleted (refused while another
//     program has the database open);
//  2. it is locked for this program alone until the end, so that no other
//     program can open the old file and write to it after it was replaced;
//  3. the index of the old log is removed, and no log of the old database is
//     left that could ever be applied to the new one;
//  4. the replacement is renamed over the live name (one atomic step) and
//     the folder flushed.
// A live database that is missing is simply replaced (stale journals of it
// are removed first). So is one that SQLite can't read (its header destroyed,
// the file cut short) when the caller says it may be damaged: it is locked
// against every other program that uses SQLite all the same, and its journal
// and log go with it (the caller has kept them). Another program's lock is
// waited for up to lockWait. Throws DataError, with the live database
// unchanged, when any step before the rename fails.
void ReplaceDatabaseFile(const std::string& replacement, const std::string& live,
                         LiveDatabase state = LiveDatabase::Sound,
                         std::chrono::milliseconds lockWait = kDefaultLockWait);

}  // namespace ledgerlift
