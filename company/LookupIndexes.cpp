#include "company/LookupIndexes.h"

namespace ledgerlift {

void EnsureLookupIndexes(Connection& db) {
    // As in the company schema, by the same names, so that a database made
    // from it already has them.
    static const char* const kIndexes[] = {
        "create index if not exists ixItemMasterCategory on tblItemMaster (CategoryID)",
        "create index if not exists ixStockItem on tblStock (ItemID, PRate, MRP)",
        "create index if not exists ixStockHistoryItem on tblStockHistory (ItemID)",
        "create index if not exists ixLedgerGroupName on tblLedger (GroupName)",
        "create index if not exists ixVoucherMain on tblVoucher (MainID)",
        "create index if not exists ixVoucherType on tblVoucher (TrType, TrID)",
        "create index if not exists ixVoucherLedger on tblVoucher (DrLID, TrType)",
    };
    for (const char* index : kIndexes) {
        db.Execute(index);
    }
}

}  // namespace ledgerlift
