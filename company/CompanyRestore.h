#pragma once

#include <optional>
#include <string>

#include "company/CompanyBackups.h"

namespace ledgerlift {

// A restore refused because a migration, a check or another restore holds
// the company.
class CompanyTaken : public DataError {
  public:
    using DataError::DataError;
};

struct RestoreResult {
    BackupInfo restored;
    // The company's database as it was just before: itself a backup, so that
    // the restore can be undone. None when the database was missing.
    std::optional<BackupInfo> before;
    // Sentences the operator should read besides (a damaged database kept as
    // it was, old backups that could not be removed); "" when none.
    std::string notes;
};

// The Yes/No question before a restore, naming the company and the time of
// the backup (and OriginWarning, when there is one).
std::string RestoreQuestion(const std::string& companyCode, const BackupInfo& backup);
// For a backup whose note was written before notes carried a checksum: that
// nothing proves which company it came from; "" for any other backup.
std::string OriginWarning(const BackupInfo& backup);
// What a restore did, in a few sentences, and as one status line.
std::string RestoreDoneText(const std::string& companyCode, const RestoreResult& result);
std::string RestoreStatusLine(const std::string& companyCode, const RestoreResult& result);
// For a company without backups: where they would be.
std::string NoBackupsText(const CompanyBackups& backups);

// Refuses (DataError, saying why and that nothing changed) a backup that
// RestoreCompany would refuse at its step 2; lets the operator be told
// before being asked. Gives OriginWarning for a backup that is restorable
// all the same.
std::string CheckRestorable(const CompanyBackups& backups, const BackupInfo& backup);

// Puts the backup at backupPath in the place of the company's database:
//  1. takes the company (see CompanyLock): refused (CompanyTaken) while a
//     migration, a check or another restore holds it;
//  2. refuses a backup that is missing, a symbolic link, belongs to another
//     company's database (CompanyBackups::Ownership), is not the file its
//     note's checksum describes, fails PRAGMA integrity_check or lacks the
//     company tables (a backup whose note has no checksum is restored with
//     OriginWarning among the notes);
//  3. backs up the database as it is now (a database too damaged to copy
//     page by page is kept byte for byte, and is then replaced even when
//     SQLite can't read it at all);
//  4. copies the backup beside the database under a temporary name, checks
//     it, and puts it in the database's place (ReplaceDatabaseFile: refused
//     while another program has the database open);
//  5. removes the backups beyond the newest keep (never the one restored).
// A kill or a full disk at any moment leaves the old database or the
// restored one, whole. Throws DataError, with a sentence that says what
// happened and that the database is as it was, on every refusal or failure.
// own, when given, is this program's connection to the company; it is
// closed first when it is open on the database that is replaced.
RestoreResult RestoreCompany(const CompanyDatabase& company, const std::string& backupPath,
                             int keep = kDefaultKeepBackups, Connection* own = nullptr);

}  // namespace ledgerlift
