#pragma once

#include <string>

#include "app/CompanyLock.h"
#include "migration/mdlStock.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The folder below the product's folder that holds the databases.
std::string DatabaseFolder(const std::string& programFolder);
std::string InitialConnectionString(const std::string& programFolder);
// companyPath is "<DirName>/<FileName>", without ".mdb".
std::string CompanyConnectionString(const std::string& programFolder,
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
CompanyDatabase LocateCompanyDatabase(const std::string& programFolder,
                                      const std::string& companyCode);

// Refuses (DataError) a database without the company tables, naming it.
void RequireCompanyTables(Connection& db);

// Finds the company's database through the initial database and opens
// cnCompany on it. cnCompany is closed first, so after a failure it is never
// left open on the company of an earlier run. A failure is shown in a
// message box (critical icon). Gives whether cnCompany is open afterwards.
// fastCommits switches the company's database to the write-ahead journal;
// a run that must leave the file untouched goes without. When lock is given,
// the company is taken for a run first: a company that another run holds is
// refused at once, with a sentence that says so. A folder or file name that
// leads outside the database folder, and a file without the company tables,
// are refused before anything touches them.
bool ConnectSql(const std::string& programFolder, const std::string& companyCode, WindowOps& ops,
                bool fastCommits = true, CompanyLock* lock = nullptr);

}  // namespace ledgerlift
