#pragma once

#include <string>
#include <vector>

#include "company/CompanyDatabase.h"
#include "company/RunRecord.h"
#include "migration/RunTally.h"
#include "ui/WindowOps.h"
#include "usecases/RunRequest.h"

namespace ledgerlift {

// What a real run hands over at its end to be recorded.
struct RunToRecord {
    const RunRequest& request;
    std::string backup;                   // the backup made before the first write
    std::vector<std::string> reconciled;  // the "Reconciled: ..." lines it wrote
    std::string failure;                  // "" unless a failure ended the run
};

// The record of a run into company, from what the window's controls say
// (workbook, migration date), the tally and the last check, when that check
// was of the same workbook into the same company.
RunRecord RecordOfRun(const RunToRecord& run, const CompanyDatabase& company);

// Writes the record of a real run beside the company's backups (see
// RunRecords). A record that can't be written changes nothing of what the
// run did: the operator is told why (exclamation icon), and where the
// backup that undoes the run lies.
void KeepRunRecord(const RunToRecord& run, WindowOps& ops);

// The counts of one sheet's rows ("items" or "ledgers") of a tally.
SheetCounts CountsOfSheet(const RunTally& tally, const std::string& sheet);

}  // namespace ledgerlift
