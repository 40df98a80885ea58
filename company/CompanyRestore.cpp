#include "company/CompanyRestore.h"

#include <unistd.h>

#include <filesystem>

#include "base/Date.h"
#include "company/CompanyLock.h"
#include "company/FileIdentity.h"
#include "company/RestoreStaging.h"
#include "company/Sha256.h"
#include "data/DatabaseCopy.h"
#include "data/DatabaseReplace.h"

namespace ledgerlift {
namespace fs = std::filesystem;

namespace {

const char* const kUnchanged = " Nothing was restored; the company's database is as it was.";

// "" when the backup file is the one its note describes, else why not. A
// note from before notes carried a checksum proves nothing: the warning
// then says so.
std::string ChecksumProblem(const BackupInfo& backup, std::string& warning) {
    if (backup.sha256.empty()) {
        warning = OriginWarning(backup);
        return "";
    }
    std::string sum;
    try {
        sum = Sha256::OfFile(backup.path);
    } catch (const DataError& error) {
        return "The backup can't be restored: " + error.Description();
    }
    if (sum == backup.sha256) {
        return "";
    }
    return "The backup " + backup.path + " is not the file its note " +
           BackupNotePath(backup.path) +
           " describes: its checksum differs, so it was changed or damaged since it was made, "
           "or it is another file put in its place.";
}

}  // namespace

std::string OriginWarning(const BackupInfo& backup) {
    if (!backup.hasNote || !backup.sha256.empty()) {
        return "";
    }
    return "Nothing proves which company the backup " + backup.name +
           " came from: its note was written before notes carried a checksum of the backup, "
           "so only the note's word and the database's own check vouch for it.";
}

std::string CheckRestorable(const CompanyBackups& backups, const BackupInfo& backup) {
    const CompanyDatabase& company = backups.Company();
    std::error_code ec;
    if (IsLink(backup.path)) {
        throw DataError("The backup " + backup.path +
                        " is a symbolic link, not a backup file of its own: it may lead to "
                        "another company's database or backup." +
                        kUnchanged);
    }
    if (!fs::is_regular_file(backup.path, ec)) {
        throw DataError("The backup " + backup.path + " could not be found." + kUnchanged);
    }
    if (SameFile(backup.path, company.path)) {
        throw DataError("The file " + backup.path + " is the company " + company.code +
                        "'s database itself, not a backup of it." + kUnchanged);
    }
    if (std::string whose = backups.Ownership(backup); !whose.empty()) {
        throw DataError(whose + kUnchanged);
    }
    if (std::string problem = DatabaseProblem(backup.path, CheckDepth::Full); !problem.empty()) {
        throw DataError("The backup can't be restored: " + problem + kUnchanged);
    }
    // Bytes changed inside the records pass the database's own check.
    std::string warning;
    if (std::string changed = ChecksumProblem(backup, warning); !changed.empty()) {
        throw DataError(changed + kUnchanged);
    }
    try {
        Connection copy;
        copy.Open("Data Source=" + backup.path);
        RequireCompanyTables(copy);
    } catch (const DataError& error) {
        throw DataError("The backup can't be restored: " + error.Description() + kUnchanged);
    }
    return warning;
}

namespace {

// The database as it is now, as a backup of its own.
// live says whether it was found damaged (and kept byte for byte).
std::optional<BackupInfo> BackUpCurrent(CompanyBackups& backups, const BackupInfo& restoring,
                                        std::string& notes, LiveDatabase& live) {
    const CompanyDatabase& company = backups.Company();
    if (!fs::exists(company.path)) {
        notes += "The company's database " + company.path + " was missing; the backup took its " +
                 "place. ";
        return std::nullopt;
    }
    std::string madeBy = "before the restore of " + restoring.name + " on " + Date::Today().ToIso();
    try {
        return backups.MakeFromFile(madeBy);
    } catch (const DataError& error) {
        std::string damage = DatabaseProblem(company.path, CheckDepth::Quick);
        if (damage.empty()) {
            throw DataError("The company's database as it is now could not be backed up, so it " +
                            std::string("was not replaced: ") + error.Description() + kUnchanged);
        }
        // A damaged database is what a restore is for: keep it as it is.
        BackupInfo kept = backups.MakeRawCopy(madeBy + " (damaged: " + damage + ")");
        live = LiveDatabase::MayBeDamaged;
        notes += "The database as it was is damaged (" + damage + "); it is kept, byte for byte, " +
                 "as the backup " + kept.path + ". ";
        return kept;
    }
}

// Removes the backup made of the database as it was, with whatever went with
// it, when the database stays as it was.
void RemoveBefore(const BackupInfo& before) {
    for (const std::string& file : {before.path, BackupNotePath(before.path),
                                    JournalPath(before.path), WalPath(before.path)}) {
        ::unlink(file.c_str());
    }
}

}  // namespace

std::string RestoreQuestion(const std::string& companyCode, const BackupInfo& backup) {
    std::string question =
        "Restore the company " + companyCode + " to its backup of " + backup.made + " (" +
        backup.name + ")? Its database as it is now is backed up first, so this can be undone.";
    if (std::string warning = OriginWarning(backup); !warning.empty()) {
        question += " " + warning;
    }
    return question;
}

std::string RestoreDoneText(const std::string& companyCode, const RestoreResult& result) {
    std::string text = "The company " + companyCode + " was restored to its backup of " +
                       result.restored.made + " (" + result.restored.path + ").";
    if (result.before) {
        text += " Its database as it was before is kept as the backup " + result.before->path + ".";
    }
    if (!result.notes.empty()) {
        text += " " + result.notes;
        while (text.back() == ' ') {
            text.pop_back();
        }
    }
    return text;
}

std::string RestoreStatusLine(const std::string& companyCode, const RestoreResult& result) {
    return "Restored the company " + companyCode + " from the backup " + result.restored.path +
           (result.before ? "; the database as it was is kept as " + result.before->path : "");
}

std::string NoBackupsText(const CompanyBackups& backups) {
    return "There is no backup of the company " + backups.Company().code + " in " +
           backups.Folder() + " yet. One is made there before every migration.";
}

RestoreResult RestoreCompany(const CompanyDatabase& company, const std::string& backupPath,
                             int keep, Connection* own) {
    // This program's own connection must not stay open on the file that is
    // replaced: it would go on reading and writing the old one.
    if (own && own->IsOpen() && SameFile(own->Path(), company.path)) {
        own->Close();
    }
    CompanyLock lock;
    if (!lock.Acquire(company.path, CompanyUse::Restore)) {
        throw CompanyTaken(CompanyTakenText(company.code, company.path) +
                           " Wait until it has finished, then try again." + kUnchanged);
    }
    CompanyBackups backups(company);
    RestoreResult result;
    result.restored = backups.Describe(backupPath);
    if (std::string warning = CheckRestorable(backups, result.restored); !warning.empty()) {
        result.notes += warning + " ";
    }
    LiveDatabase live = LiveDatabase::Sound;
    result.before = BackUpCurrent(backups, result.restored, result.notes, live);

    std::string staging = RestoreStagingPath(company.path);
    RemoveRestoreStaging(company.path);  // what a killed restore left
    try {
        CopyDatabaseFile(backupPath, staging);
        ReplaceDatabaseFile(staging, company.path, live);
    } catch (const DataError& error) {
        RemoveRestoreStaging(company.path);
        std::string kept;
        if (result.before && live == LiveDatabase::Sound) {
            // The copy of the database as it is stays the database itself.
            RemoveBefore(*result.before);
        } else if (result.before) {
            // A damaged database's journal may be gone from beside it by now:
            // the copy keeps it.
            kept = " The damaged database is also kept as the backup " + result.before->path + ".";
        }
        throw DataError("The company " + company.code + " was not restored: " +
                        error.Description() + " Its database is as it was." + kept);
    }
    if (std::string problem = DatabaseProblem(company.path, CheckDepth::Quick); !problem.empty()) {
        throw DataError("The company " + company.code + " was restored from " + backupPath +
                        ", but its database does not pass its check now: " + problem);
    }
    if (std::string pruned = backups.Prune(keep, backupPath); !pruned.empty()) {
        result.notes += pruned;
    }
    return result;
}

}  // namespace ledgerlift
