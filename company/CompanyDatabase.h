#pragma once

#include <string>

#include "data/Connection.h"

namespace ledgerlift {

// The folder below the product's folder that holds the databases.
std::string DatabaseFolder(const std::string& productFolder);
std::string InitialConnectionString(const std::string& productFolder);
// companyPath is "<DirName>/<FileName>", without ".mdb".
std::string CompanyConnectionString(const std::string& productFolder,
                                    const std::string& companyPath);

// Where a company's database lies, as the initial database lists it.
struct CompanyDatabase {
    std::string code;        // the company code
    std::string connection;  // the connection string, in the product's form
    std::string path;        // the database file
    std::string relative;    // "<DirName>/<FileName>.mdb", below the database folder
};

// Looks the company up in the initial database. Throws DataError (for the
// operator) when it is not listed, names no folder or file, or names one that
// leads outside the database folder. The file itself need not exist.
CompanyDatabase LocateCompanyDatabase(const std::string& productFolder,
                                      const std::string& companyCode);

// Refuses (DataError) a database without the company tables, naming it.
void RequireCompanyTables(Connection& db);

}  // namespace ledgerlift
