#pragma once

#include <string>

#include "company/CompanyBackups.h"
#include "company/CompanyLock.h"
#include "data/Connection.h"
#include "migration/CommitBatch.h"
#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

struct CheckResult;

// How a run goes, beside what the window's controls say.
struct RunOptions {
    // A run that writes nothing: it runs in one transaction that is rolled
    // back at its end, and leaves the company's database file untouched.
    bool dryRun = false;
    // How many backups of a company a run keeps (the newest).
    int keepBackups = kDefaultKeepBackups;
    // When a batch of whole rows is committed.
    BatchTiming batchTiming = {};
};

// What a migration run or a check works on: the window's controls (the
// grids it reads and marks, the company, the date, the update mode, the
// status box and the stop request), the run's connection companyConnection (opened
// on the chosen company by the run itself, and left open after it), the
// lock it takes the company with, the product folder, and the tally a run
// records each row's outcome in as it goes (the window reads it during the
// run; a check keeps a tally of its own), and the last check, if one ran (a
// run's record keeps what it predicted, when it checked the same workbook
// into the same company).
struct RunRequest {
    FormControls& controls;
    Connection& companyConnection;
    CompanyLock& lock;
    std::string productFolder;
    RunTally& tally;
    RunOptions options;
    const CheckResult* lastCheck;
};

// Whether a workbook is loaded; when none is, says so (critical icon), as
// "Start Migration" and "Check Data" both refuse to go on without one.
bool RequireLoaded(const FormControls& controls, WindowOps& ops);

// Lets other runs into the company when the procedure that took it ends,
// however it ends.
class CompanyRelease {
  public:
    explicit CompanyRelease(CompanyLock& lock) : lock_(lock) {}
    ~CompanyRelease() { lock_.Release(); }
    CompanyRelease(const CompanyRelease&) = delete;
    CompanyRelease& operator=(const CompanyRelease&) = delete;

  private:
    CompanyLock& lock_;
};

}  // namespace ledgerlift
