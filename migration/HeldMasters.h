#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/Connection.h"

namespace ledgerlift {

// What the company holds of an item or a ledger the workbook names again,
// and of the opening the migration posted for it, read from the company
// each time (so it holds for a company migrated by an older version, by a
// killed run or by hand). The migration's own openings are the stock
// history lines of type OpeningStock and the vouchers of type Opening.

struct HeldItem {
    std::int32_t id = 0;
    std::string name;
    int openingLines = 0;        // the migration's opening stock lines
    double openingQuantity = 0;  // their quantity, summed
};

// The item with the code (as the item master compares codes), if any.
std::optional<HeldItem> ReadHeldItem(Connection& db, const std::string& code);

// Removes the migration's opening stock of the item: its history lines up to
// the line numbered upTo (all of them when it is 0), and their quantities
// from the stock rows they were added to. Throws DataError when a stock row
// is not where the posting put it (nothing is then changed by the caller's
// transaction).
void RemoveOpeningStock(Connection& db, std::int32_t itemId, std::int64_t upTo = 0);

// The highest number of a stock history line (0 when there is none).
std::int64_t LastStockLine(Connection& db);

struct HeldLedger {
    std::int32_t lid = 0;
    int vouchers = 0;   // the migration's opening vouchers for it
    double debit = 0;   // their amounts on its debit side
    double credit = 0;  // ... and on its credit side
};

// The ledger with the name (as the ledger table compares names), if any.
std::optional<HeldLedger> ReadHeldLedger(Connection& db, const std::string& name);

// Removes the migration's opening vouchers of the ledger, both rows of each,
// but for the voucher keep (0: none is kept).
void RemoveOpeningVouchers(Connection& db, std::int32_t lid, std::int32_t keep = 0);

}  // namespace ledgerlift
