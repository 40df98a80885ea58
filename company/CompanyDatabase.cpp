#include "company/CompanyDatabase.h"

#include <filesystem>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Sql.h"

namespace ledgerlift {

namespace {
const char* const kConnectionTail =
    ".mdb;Persist Security Info=False;Jet OLEDB:Database Password=ZORVATH582";
}

std::string DatabaseFolder(const std::string& productFolder) {
    return productFolder + "/Resources/Database";
}

std::string InitialConnectionString(const std::string& productFolder) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + productFolder +
           "/Resources/Database/TallvaneInitial" + kConnectionTail;
}

std::string CompanyConnectionString(const std::string& productFolder,
                                    const std::string& companyPath) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + productFolder +
           "/Resources/Database/" + companyPath + kConnectionTail;
}

namespace {

// The tables a migration reads and writes; a file without them is not a
// company database, whatever its name.
const char* const kCompanyTables[] = {"tblAccountgroup", "tblCategories",   "tblItemMaster",
                                      "tblStock",        "tblStockHistory", "tblLedger",
                                      "tblVoucher"};

bool Inside(const std::filesystem::path& folder, const std::filesystem::path& path) {
    std::filesystem::path rel = path.lexically_relative(folder);
    return !rel.empty() && *rel.begin() != ".." && rel != ".";
}

// Refuses a folder or file name that leads out of the product's database
// folder: through "..", an absolute path or a symbolic link pointing out.
void RequireInsideDatabaseFolder(const std::string& productFolder, const std::string& code,
                                 const std::string& dir, const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::weakly_canonical(DatabaseFolder(productFolder), ec);
    fs::path target =
        fs::weakly_canonical(fs::path(DatabaseFolder(productFolder)) / dir / (file + ".mdb"), ec);
    if (fs::path(dir).is_absolute() || fs::path(file).is_absolute() || ec ||
        !Inside(folder, target)) {
        throw DataError("The company " + code + " names its database as folder \"" + dir +
                        "\", file \"" + file + "\", which leads outside the product's database " +
                        "folder " + folder.string() +
                        ". Ledgerlift only writes to company databases inside that folder.");
    }
}

}  // namespace

// A file that lacks the company tables is refused before anything is
// written to it (not even the journal mode).
void RequireCompanyTables(Connection& db) {
    std::string missing;
    for (const char* table : kCompanyTables) {
        Recordset rs;
        rs.Open(Sql("select name from sqlite_master where type='table' and name=")
                    << sql::Text(table) << " collate nocase",
                db, CursorType::ForwardOnly, LockType::ReadOnly);
        if (rs.IsEOF()) {
            missing += (missing.empty() ? "" : ", ") + std::string(table);
        }
    }
    if (!missing.empty()) {
        throw DataError("The file " + db.Path() +
                        " is not a Tallvane company database: it has no table " + missing +
                        ". Nothing was written to it.");
    }
}

CompanyDatabase LocateCompanyDatabase(const std::string& productFolder,
                                      const std::string& companyCode) {
    Connection initial;
    initial.Open(InitialConnectionString(productFolder));
    Recordset rs;
    rs.Open(Sql("Select * from tblCompany where CompanyCode=") << sql::Text(companyCode), initial,
            CursorType::Static, LockType::ReadOnly);
    if (rs.IsEOF()) {
        throw DataError("The company " + companyCode + " is not listed in " + initial.Path() + ".");
    }
    Value dir = rs.Field("DirName");
    Value file = rs.Field("FileName");
    if (dir.IsNull() || file.IsNull()) {
        throw DataError("The company " + companyCode + " has no folder or no file name in " +
                        initial.Path() + ".");
    }
    // Every company, "TALLVANE" included, keeps its database in its own
    // folder under its own file name.
    std::string dirName = ValueToText(dir);
    std::string fileName = ValueToText(file);
    RequireInsideDatabaseFolder(productFolder, companyCode, dirName, fileName);
    std::string connection = CompanyConnectionString(productFolder, dirName + "/" + fileName);
    return {companyCode, connection, Connection::DataSource(connection),
            dirName + "/" + fileName + ".mdb"};
}

}  // namespace ledgerlift
