#include "company/CompanyRestore.h"

#include <unistd.h>

#include <filesystem>

#include "company/CompanyLock.h"
#include "data/DatabaseCopy.h"
#include "data/DatabaseReplace.h"

namespace ledgerlift {
namespace fs = std::filesystem;

namespace {

const char* const kUnchanged = " Nothing was restored; the company's database is as it was.";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

// The restored copy while it is made: hidden beside the database.
std::string StagingPath(const std::string& database) {
    fs::path db(database);
    // Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for a
    // short literal + a temporary.
    std::string name = ".";
    name += db.filename().string();
    name += ".restoring";
    return (db.parent_path() / name).string();
}

void RemoveStaging(const std::string& staging) {
    for (const std::string& file :
         {staging, JournalPath(staging), WalPath(staging), ShmPath(staging)}) {
        ::unlink(file.c_str());
    }
}

}  // namespace

void CheckRestorable(const CompanyBackups& backups, const BackupInfo& backup) {
    const CompanyDatabase& company = backups.Company();
    std::error_code ec;
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
    try {
        Connection copy;
        copy.Open("Data Source=" + backup.path);
        RequireCompanyTables(copy);
    } catch (const DataError& error) {
        throw DataError("The backup can't be restored: " + error.Description() + kUnchanged);
    }
}

namespace {

// The database as it is now, as a backup of its own.
std::optional<BackupInfo> BackUpCurrent(CompanyBackups& backups, const BackupInfo& restoring,
                                        std::string& notes) {
    const CompanyDatabase& company = backups.Company();
    if (!fs::exists(company.path)) {
        notes += "The company's database " + company.path + " was missing; the backup took its " +
                 "place. ";
        return std::nullopt;
    }
    std::string madeBy = "the restore of " + restoring.name + ": the database as it was before";
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
        notes += "The database as it was is damaged (" + damage + "); it is kept, byte for byte, " +
                 "as the backup " + kept.path + ". ";
        return kept;
    }
}

}  // namespace

std::string RestoreQuestion(const std::string& companyCode, const BackupInfo& backup) {
    return "Restore the company " + companyCode + " to its backup of " + backup.made + " (" +
           backup.name + ")? Its database as it is now is backed up first, so this can be undone.";
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
    if (!lock.Acquire(company.path)) {
        throw CompanyTaken("Another program is using the company " + company.code + " (" +
                           company.path +
                           ") for a migration or a restore. Wait until it has finished, then try "
                           "again." +
                           kUnchanged);
    }
    CompanyBackups backups(company);
    RestoreResult result;
    result.restored = backups.Describe(backupPath);
    CheckRestorable(backups, result.restored);
    result.before = BackUpCurrent(backups, result.restored, result.notes);

    std::string staging = StagingPath(company.path);
    RemoveStaging(staging);  // what a killed restore left
    try {
        CopyDatabaseFile(backupPath, staging);
        ReplaceDatabaseFile(staging, company.path);
    } catch (const DataError& error) {
        RemoveStaging(staging);
        // The copy of the database as it is stays the database itself.
        if (result.before) {
            ::unlink(result.before->path.c_str());
            ::unlink(BackupNotePath(result.before->path).c_str());
        }
        throw DataError("The company " + company.code + " was not restored: " +
                        error.Description() + " Its database is as it was.");
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
