#pragma once

#include <string>

#include "base/Value.h"
#include "data/Connection.h"

namespace ledgerlift::test {

// A folder of its own below the system's temporary folder, removed with
// everything in it at the end of the test.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A product folder: Resources/Database with an initial database (empty
// company table) and, per added company, a company database made from the
// product's schema.
class ProductFolder {
  public:
    ProductFolder();
    const std::string& Path() const { return dir_.Path(); }
    std::string DatabaseFolder() const { return Path() + "/Resources/Database"; }
    std::string InitialDb() const { return DatabaseFolder() + "/TallvaneInitial.mdb"; }
    std::string CompanyDb(const std::string& dirName, const std::string& fileName) const;

    // Lists the company in the initial database and, unless told not to,
    // creates its database file. Gives the file's path.
    std::string AddCompany(const std::string& code, const std::string& dirName,
                           const std::string& fileName, bool createDatabase = true);

  private:
    TempFolder dir_;
};

// A fresh company database from the product's schema at path.
void CreateCompanyDb(const std::string& path);
// A connection string with the product's form for a database file.
std::string ConnectionStringFor(const std::string& path);

// The first column of the first row of a query, on a connection of its own.
Value QueryValue(const std::string& dbPath, const std::string& sql);
// Every row of a query as "a|b|c" lines, on a connection of its own.
std::string QueryRows(const std::string& dbPath, const std::string& sql);
// Runs a statement, on a connection of its own.
void Execute(const std::string& dbPath, const std::string& sql);

std::string FixturePath(const std::string& name);

}  // namespace ledgerlift::test
