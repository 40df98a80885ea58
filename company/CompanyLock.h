#pragma once

#include <string>

namespace ledgerlift {

// What a program that takes a company does with it.
enum class CompanyUse { Migration, Restore, Check, Statement };

// Marks a company's database as taken by one migration run, restore, check
// or statement, so that a second one into the same company (from this program or
// another copy of it) refuses at once instead of failing row by row on a
// locked database. The mark is a lock on a small file beside the database,
// held while this object lives (or until Release); the system drops it when
// the process ends, so a killed run never leaves the company locked. The
// file says what holds it and as which process, so that whoever is refused
// can be told.
class CompanyLock {
  public:
    CompanyLock() = default;
    ~CompanyLock() { Release(); }
    CompanyLock(const CompanyLock&) = delete;
    CompanyLock& operator=(const CompanyLock&) = delete;

    // Takes the lock for the database at databasePath, for use. Gives false
    // when another program holds it. Throws DataError, naming the file, when
    // the lock file can't be made (the folder is not writable) or is a
    // symbolic link or anything else but a file.
    bool Acquire(const std::string& databasePath, CompanyUse use = CompanyUse::Migration);
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The lock file of a database: ".<file name>.migrating" beside it.
    static std::string LockPath(const std::string& databasePath);

  private:
    int fd_ = -1;
};

// The sentence for a company that another program holds: what that program
// is doing (migrating into it, restoring it, checking a workbook against it,
// writing its opening statement)
// and as which process, as far as the lock file says; neutral words when it
// says nothing (a program that took it a moment ago or has just let go).
std::string CompanyTakenText(const std::string& companyCode, const std::string& databasePath);

}  // namespace ledgerlift
