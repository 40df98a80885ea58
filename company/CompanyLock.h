#pragma once

#include <string>

namespace ledgerlift {

// Marks a company's database as taken by one migration run, so that a second
// run into the same company (from this program or another copy of it)
// refuses at once instead of failing row by row on a locked database. The
// mark is a lock on a small file beside the database, held while this object
// lives (or until Release); the system drops it when the process ends, so a
// killed run never leaves the company locked.
class CompanyLock {
  public:
    CompanyLock() = default;
    ~CompanyLock() { Release(); }
    CompanyLock(const CompanyLock&) = delete;
    CompanyLock& operator=(const CompanyLock&) = delete;

    // Takes the lock for the database at databasePath. Gives false when
    // another run holds it. Throws DataError when the lock file can't be
    // made (the folder is not writable), naming it.
    bool Acquire(const std::string& databasePath);
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The lock file of a database: ".<file name>.migrating" beside it.
    static std::string LockPath(const std::string& databasePath);

  private:
    int fd_ = -1;
};

}  // namespace ledgerlift
