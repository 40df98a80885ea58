#pragma once

#include <optional>
#include <string>
#include <vector>

#include "company/RunRecord.h"
#include "migration/Reconciliation.h"

namespace ledgerlift {

// One item's opening stock: the migration's opening-stock postings of it.
struct OpeningStatementItem {
    std::string code;
    std::string name;
    int lines = 0;        // postings
    double quantity = 0;  // inward less outward
    double value = 0;     // at the posted purchase rate
};

struct OpeningStatementCategory {
    std::string name;
    std::vector<OpeningStatementItem> items;  // by code
    double quantity = 0;
    double value = 0;
};

// One ledger's opening balance: the migration's opening vouchers that name it.
struct OpeningStatementLedger {
    std::string name;
    double debit = 0;
    double credit = 0;
};

struct OpeningStatementGroup {
    std::string name;
    std::vector<OpeningStatementLedger> ledgers;  // by name
    double debit = 0;
    double credit = 0;
};

// A company's opening position as its database holds it after a migration:
// what a statement shows, read back from the company database (never from
// a workbook), with the record of the last run beside it.
struct OpeningStatement {
    std::string companyCode;
    std::string companyName;  // "" when the company list keeps none
    std::string database;     // "<DirName>/<FileName>.mdb"
    // The dates of the opening postings: one date, or "first to last".
    std::string migrationDates;
    std::string printed;  // local time, "yyyy-mm-dd hh:mm"

    std::vector<OpeningStatementCategory> categories;  // by name
    // Customer, Supplier, then the others by name.
    std::vector<OpeningStatementGroup> groups;
    // The database's own sums, read as the run's reconciliation reads them:
    // items and ledgers count those with opening postings.
    OpeningTotals totals;

    std::optional<RunRecord> lastRun;  // the newest run record
    bool lastRunBackupKept = false;    // its backup is still there
    std::string lastRunBackupProblem;  // why a restore would refuse it ("" when it would not)
    // When the company was restored from a backup after the last run: the
    // time and the backup ("" otherwise). The figures are then what the
    // restored database holds.
    std::string restoredAt;
    std::string restoredFrom;
    // Files under a run record's name that could not be read.
    std::vector<std::string> recordProblems;
};

}  // namespace ledgerlift
