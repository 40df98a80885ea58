#include "company/ProtectedFiles.h"

#include <filesystem>

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "company/CompanyLock.h"
#include "company/FileIdentity.h"
#include "data/DataError.h"
#include "data/Recordset.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// The files that SQLite keeps beside a database while it is open or after a
// crash; writing over one of them corrupts the database.
struct Companion {
    const char* suffix;
    const char* what;
};
constexpr Companion kCompanions[] = {{"", "%s"},
                                     {"-journal", "the rollback journal of %s"},
                                     {"-wal", "the write-ahead log of %s"},
                                     {"-shm", "the shared-memory index of %s"}};

std::string Fill(const char* pattern, const std::string& what) {
    std::string out = pattern;
    return out.replace(out.find("%s"), 2, what);
}

}  // namespace

ProtectedFiles::ProtectedFiles(const std::string& productFolder, const std::string& workbook) {
    std::string initial = Connection::DataSource(InitialConnectionString(productFolder));
    for (const Companion& c : kCompanions) {
        files_.push_back(
            {initial + c.suffix, Fill(c.what,
                                      "the product's initial database, which lists the "
                                      "companies")});
    }
    if (!workbook.empty()) {
        files_.push_back({workbook, "the workbook the data comes from"});
    }
    Connection db;
    db.Open(InitialConnectionString(productFolder));
    Recordset rs;
    rs.Open("select CompanyCode, DirName, FileName from tblCompany", db, CursorType::ForwardOnly,
            LockType::ReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        Value dir = rs.Field("DirName");
        Value file = rs.Field("FileName");
        if (dir.IsNull() || file.IsNull()) {
            continue;  // no database to protect; a run refuses the company
        }
        // Where a run would open it (see LocateCompanyDatabase), even when the
        // names lead outside the database folder and a run would refuse it.
        std::string database = Connection::DataSource(
            CompanyConnectionString(productFolder, ValueToText(dir) + "/" + ValueToText(file)));
        AddCompany(ValueToText(rs.Field("CompanyCode")), database);
    }
}

void ProtectedFiles::AddCompany(const std::string& code, const std::string& database) {
    std::string its = "the company " + code + "'s database";
    for (const Companion& c : kCompanions) {
        files_.push_back({database + c.suffix,
                          c.suffix[0] ? Fill(c.what, its) : "the database of the company " + code});
    }
    files_.push_back({CompanyLock::LockPath(database),
                      "the file that marks the company " + code + " as taken by a migration"});
    AddBackupFolder(code, (fs::path(database).parent_path() / "Backups").string());
}

void ProtectedFiles::AddBackupFolder(const std::string& code, const std::string& folder) {
    std::string what = "a file in the backup folder of the company " + code + " (" + folder +
                       "), which holds its backups alone";
    folders_.push_back({folder, what});
    // A hard link elsewhere to a backup is that backup too, so every file in
    // the folder is known; a folder not there yet holds none.
    std::error_code ec;
    fs::directory_iterator entry(folder, ec);
    for (; !ec && entry != fs::directory_iterator(); entry.increment(ec)) {
        files_.push_back({entry->path().string(), what});
    }
    if (ec && ec != std::errc::no_such_file_or_directory) {
        throw DataError("The backup folder " + folder + " could not be read (" + ec.message() +
                        ").");
    }
}

std::string ProtectedFiles::What(const std::string& path) const {
    FileIdentity output = FileIdentity::Of(path);
    for (const File& file : files_) {
        if (output.Same(FileIdentity::Of(file.path))) {
            return file.what;
        }
    }
    for (const File& folder : folders_) {
        if (output.name.parent_path() == FileIdentity::Of(folder.path).name) {
            return folder.what;
        }
    }
    return "";
}

}  // namespace ledgerlift
