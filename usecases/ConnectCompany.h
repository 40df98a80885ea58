#pragma once

#include <string>

#include "company/CompanyDatabase.h"
#include "company/CompanyLock.h"
#include "data/Connection.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Finds the company's database through the initial database and opens
// companyConnection on it. companyConnection is closed first, so after a failure it is never
// left open on the company of an earlier run. A failure is shown in a
// message box (critical icon). Gives whether companyConnection is open afterwards.
// fastCommits switches the company's database to the write-ahead journal;
// a run that must leave the file untouched goes without. When lock is given,
// the company is taken for use first: a company that another program holds
// is refused at once, with a sentence that says what that program does. A
// folder or file name that leads outside the database folder, and a file
// without the company tables, are refused before anything touches them.
bool ConnectCompany(Connection& companyConnection, const std::string& productFolder,
                    const std::string& companyCode, WindowOps& ops, bool fastCommits = true,
                    CompanyLock* lock = nullptr, CompanyUse use = CompanyUse::Migration);

}  // namespace ledgerlift
