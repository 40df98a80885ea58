#pragma once

#include <cstdint>
#include <string>

#include "data/Sql.h"
#include "migration/LedgerRead.h"

namespace ledgerlift {

struct StageContext;

// The name under which the stage reports its progress.
inline constexpr const char* kLedgerStageName = "Migrating ledgers";

// The values of one ledger record, as the insert statement takes them.
struct LedgerRecord {
    std::int32_t lid = 0;
    std::string name, alias, group;  // trimmed and quoted in the statement
    bool debit = true;
    double opBalance = 0;    // the absolute opening balance
    std::string address;     // already trimmed; quoted in the statement
    std::string phone, fax;  // quoted, not trimmed
    std::int32_t accountGroupId = 0;
    std::string area;  // trimmed and quoted
};

// The insert of one ledger into tblLedger, with its values.
Sql LedgerInsertStatement(const LedgerRecord& ledger);

// The ledger stage: writes every row of the ledger grid to tblLedger under a
// running LID and posts each non-zero opening balance as an "Opening" voucher
// on the row's side (see ReadSide).
// Then moves the ledgers of "Sundry Creditors" to "Supplier" (11) and of
// "Sundry Debtors" to "Customer" (10).
//
// A failure whose description holds "UNIQUE KEY" goes on silently (a ledger
// that is already there keeps its balance: no second voucher); any other asks
// whether to go on (Yes: the step after the failed one; No: the failure is
// shown and the stage ends without the two group updates). A row whose
// ledger insert failed posts no voucher. Whole grid rows are committed in
// batches. A stop request (ctx.StopRequested()) ends the stage after the row
// in progress as No does: the rows after it are recorded as not reached,
// and the group updates are not made.
void RunLedgerStage(StageContext& ctx);

}  // namespace ledgerlift
