#include "app/ProtectedFiles.h"

#include <sys/stat.h>

#include <filesystem>

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "company/CompanyLock.h"
#include "data/DataError.h"
#include "data/Recordset.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// A path as a file: its device and inode when it exists (a symbolic link
// followed), and its canonical name (the folders' links and ".." resolved).
struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    fs::path name;
};

Identity IdentityOf(const std::string& path) {
    Identity id;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
    }
    std::error_code ec;
    id.name = fs::weakly_canonical(path, ec);
    if (ec) {
        id.name = fs::absolute(path, ec).lexically_normal();
    }
    return id;
}

bool Same(const Identity& a, const Identity& b) {
    if (a.exists && b.exists) {
        return a.device == b.device && a.inode == b.inode;
    }
    return a.name == b.name;
}

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
    Identity output = IdentityOf(path);
    for (const File& file : files_) {
        if (Same(output, IdentityOf(file.path))) {
            return file.what;
        }
    }
    for (const File& folder : folders_) {
        if (output.name.parent_path() == IdentityOf(folder.path).name) {
            return folder.what;
        }
    }
    return "";
}

bool SameFile(const std::string& a, const std::string& b) {
    return Same(IdentityOf(a), IdentityOf(b));
}

}  // namespace ledgerlift
