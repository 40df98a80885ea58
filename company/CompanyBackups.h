#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "company/CompanyDatabase.h"
#include "data/Connection.h"

namespace ledgerlift {

// How many backups of a company are kept unless told otherwise.
inline constexpr int kDefaultKeepBackups = 10;

// One backup of a company's database.
struct BackupInfo {
    std::string path;  // the backup file
    std::string name;  // its file name
    std::string made;  // when it was made, local time: "yyyy-mm-dd hh:mm:ss"
    std::int64_t bytes = 0;
    // From the note beside it ("" when it has none): what made it, the
    // company and database (below the database folder) it is a copy of, and
    // the SHA-256 checksum of the backup file as it was made ("" in a note
    // written before notes carried one).
    std::string madeBy;
    std::string company;
    std::string database;
    std::string sha256;
    bool hasNote = false;
    // Why what the note says can't be relied on ("" when it can): it can't be
    // read (no regular file, far too large) or lacks the database it is a
    // copy of. Such a backup is listed, never restored, pruned or named as
    // the one that undoes a run.
    std::string noteProblem;
    // The company as it was before its first migration: kept for good, never
    // pruned. Its note says so; among backups whose notes predate that, the
    // oldest one a migration made.
    bool first = false;
};

// The backups of one company's database. They lie in the folder Backups
// beside the database (a real folder: never a symbolic link, which would put
// them elsewhere), named "<FileName>-<yyyymmdd-hhmmss>.mdb" (with "-2",
// "-3", ... when two are made within one second), each a complete database
// of its own with a rollback journal. Beside each lies a small note,
// "<same name>.txt", that says which company and database it is a copy of,
// when and by what it was made, and the checksum of the backup file; the
// company's database itself is not touched to record any of it (nor is the
// backup: what lies in it would be restored into the company).
class CompanyBackups {
  public:
    explicit CompanyBackups(CompanyDatabase company);

    const CompanyDatabase& Company() const { return company_; }
    // <company folder>/Backups
    const std::string& Folder() const { return folder_; }

    // The company's backups, newest first; none when the folder is missing.
    // Backups in the folder that another database's note claims are left out;
    // those whose note can't be relied on are listed with its problem.
    // The first backup (see BackupInfo::first) is marked.
    std::vector<BackupInfo> List() const;
    // What is known of one backup file (any file, anywhere).
    BackupInfo Describe(const std::string& path) const;
    // "" when the backup is one of this company's, else a sentence that says
    // whose it is (or that nothing says so). A backup belongs to the company
    // and database its note names; the note must be a file of its own (not a
    // symbolic link to another's). Nothing says whose a backup without a note
    // is, wherever it lies and whatever its name: a copy of another
    // company's backup may have been given this company's name.
    std::string Ownership(const BackupInfo& backup) const;

    // The three below are called only while the company is taken (see
    // CompanyLock), so that no two backups of it are made at once.
    //
    // Copies the database open on source into a new backup (see
    // CopyDatabase: never half a backup under a backup's name) and writes its
    // note (which says, for the first backup, that it is kept for good).
    // Throws DataError, for the operator, when the folder can't be made or
    // the copy can't be written or checked.
    BackupInfo Make(Connection& source, const std::string& madeBy, bool first = false);
    // The same from the database file, opened read-only.
    BackupInfo MakeFromFile(const std::string& madeBy);
    // A byte-for-byte copy of the database file, for a database too damaged
    // to be copied page by page (the copy is not checked). Its journal and
    // log, when it has them, are copied beside it as the backup's, so that
    // nothing of what the damaged database held is lost.
    BackupInfo MakeRawCopy(const std::string& madeBy);
    // Keeps the first backup, the newest keep of the others (and protect,
    // whatever its age) and removes the rest with their notes (and
    // journals). Gives "" or a sentence naming the files that could not be
    // removed.
    std::string Prune(int keep, const std::string& protect = "") const;
    // Removes one backup with its note (and journals), as Prune does.
    std::string Remove(const std::string& backupPath) const;

    // A line for a list of backups: time, size, file name, what made it.
    static std::string Line(const BackupInfo& backup);
    static std::string SizeText(std::int64_t bytes);

  private:
    struct Name {
        std::string stamp;  // yyyymmdd-hhmmss
        int serial = 1;
    };
    bool ParseName(const std::string& fileName, Name& name) const;
    std::string PrepareFolder() const;
    int HighestSerial(const std::string& stamp) const;
    std::string NewPath() const;
    void WriteNote(const std::string& backupPath, const std::string& madeBy,
                   const std::string& sha256, bool first = false) const;
    void CopyBytes(const std::string& from, const std::string& to, const std::string& madeBy) const;

    CompanyDatabase company_;
    std::string folder_;
    std::string fileName_;  // the database's file name without ".mdb"
};

// The note beside a backup file.
std::string BackupNotePath(const std::string& backupPath);

}  // namespace ledgerlift
