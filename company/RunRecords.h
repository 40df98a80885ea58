#pragma once

#include <string>
#include <vector>

#include "company/CompanyDatabase.h"
#include "company/RunRecord.h"

namespace ledgerlift {

// The run records of one company's database. They lie beside its backups, in
// <company folder>/Backups, each named after the backup its run made
// ("<FileName>-<yyyymmdd-hhmmss>[-n].run.txt" beside "...[-n].mdb"), or,
// without one, after the time the run started. They are a few KB each and never pruned: the backups
// come and go, the record of what was done stays. No backup listing, pruning
// or restore takes a record for a backup or for a backup's note (those end
// in ".mdb" and, without ".run", in ".txt").
class RunRecords {
  public:
    explicit RunRecords(CompanyDatabase company);

    // <company folder>/Backups
    const std::string& Folder() const { return folder_; }

    struct Listing {
        std::vector<RunRecord> records;  // newest first
        // A sentence for each file under a record's name that could not be
        // read; it is left out of records.
        std::vector<std::string> problems;
    };
    // The company's records; none when the folder is missing. Records that
    // name another company's database (a copy from elsewhere) are left out.
    Listing List() const;

    // Writes the record as a new file whole or not at all (see AtomicFile),
    // named after its backup; gives its path. Called only while the
    // company is taken (see CompanyLock), so no other run names a record at
    // the same time. Throws DataError, for the operator, when the backup
    // folder is missing or is not a folder of its own, or the file can't be
    // written.
    std::string Write(const RunRecord& record) const;

    // Whether a file name is a run record's name (of any company).
    static bool IsRecordName(const std::string& fileName);

    // A line for a list of runs: when it started, how it ended, the
    // workbook, the rows of each sheet by outcome, and the backup that
    // undoes it (said to be gone when it has been pruned since).
    static std::string Line(const RunRecord& record);

  private:
    struct Name {
        std::string stamp;  // yyyymmdd-hhmmss
        int serial = 1;
    };
    bool ParseName(const std::string& fileName, Name& name) const;
    std::string NewPath(const RunRecord& record) const;

    CompanyDatabase company_;
    std::string folder_;
    std::string fileName_;  // the database's file name without ".mdb"
};

}  // namespace ledgerlift
