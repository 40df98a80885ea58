#pragma once

#include <string>
#include <vector>

#include "data/Connection.h"
#include "migration/RunTally.h"

namespace ledgerlift {

// What a run writes, in the numbers a bookkeeper signs off.
struct OpeningTotals {
    int items = 0;  // item records written (new or replacing one)
    int stockLines = 0;
    double quantity = 0;    // the stock's change
    double stockValue = 0;  // inward value minus outward value, at purchase rate
    int ledgers = 0;
    double debit = 0;   // opening balances posted on the debit side
    double credit = 0;  // ... and on the credit side
    // What an accountant expects to be zero, or books to a difference account.
    double Difference() const { return debit + stockValue - credit; }
};

// What the rows of a tally say was written: the rows that succeeded, and
// those written in part (their records, without the posting that failed).
OpeningTotals ExpectedTotals(const RunTally& tally);

// The highest stock history and voucher numbers now: what a run writes lies
// above them.
RunTally::Baseline ReadBaseline(Connection& db);

// Reads back from the database what the tally's run wrote: its items and
// ledgers by their ids and names, the stock lines and vouchers above the
// baseline.
OpeningTotals ReadBackTotals(const RunTally& tally, Connection& db);

struct Reconciliation {
    std::vector<std::string> lines;  // "Reconciled: ..."
    int differences = 0;
};

// Compares what the run wrote with what the database holds.
Reconciliation Reconcile(const RunTally& tally, Connection& db);

}  // namespace ledgerlift
