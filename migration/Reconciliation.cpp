#include "migration/Reconciliation.h"

#include <cmath>
#include <map>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Sql.h"

namespace ledgerlift {
namespace {

bool Stored(RunTally::Outcome outcome) {
    return outcome == RunTally::Outcome::Written || outcome == RunTally::Outcome::Updated ||
           outcome == RunTally::Outcome::Partial;
}

// The rows whose opening the run posted: those it stored, and those whose
// record was there and whose opening it completed or replaced.
bool Posted(RunTally::Outcome outcome) {
    return Stored(outcome) || outcome == RunTally::Outcome::Completed ||
           outcome == RunTally::Outcome::Replaced;
}

// Amounts compare as the currency stores them; quantities to a millionth.
bool Same(double a, double b) {
    return std::fabs(a - b) <= 0.00005 * std::max(1.0, std::fabs(a) / 1e10);
}

std::string Amount(double v) {
    return std::isfinite(v) && std::fabs(v) < 9e14 ? CurrencyText(v) : NumberText(v);
}

double Real(const Value& v) {
    return v.IsNull()      ? 0
           : v.IsInteger() ? static_cast<double>(v.AsInteger())
                           : Val(ValueToText(v));
}

// The rows of the tally of one sheet that put a record in, by id.
std::map<std::int64_t, std::string> StoredIds(const RunTally& tally, const char* sheet) {
    std::map<std::int64_t, std::string> ids;
    for (const auto& row : tally.rows) {
        if (row.sheet == sheet && Stored(row.outcome) && !row.id.empty()) {
            ids[std::atoll(row.id.c_str())] = row.key;
        }
    }
    return ids;
}

// How many of the ids hold a record under the name the run gave it.
int CountFound(Connection& db, const std::map<std::int64_t, std::string>& ids, const char* select) {
    if (ids.empty()) {
        return 0;
    }
    Recordset rs;
    rs.Open(Sql(select) << " between " << sql::Int(ids.begin()->first) << " and "
                        << sql::Int(ids.rbegin()->first),
            db, CursorType::ForwardOnly, LockType::ReadOnly);
    int found = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        auto it = ids.find(rs.Field(0).IsInteger() ? rs.Field(0).AsInteger() : 0);
        if (it != ids.end() && ValueToText(rs.Field(1)) == it->second) {
            ++found;
        }
    }
    return found;
}

// Rows of the sheet whose item or ledger the company held before the run:
// a re-run checks what it posted for them, not their masters.
int AlreadyThere(const RunTally& tally, const char* sheet) {
    int count = 0;
    for (const auto& row : tally.rows) {
        using O = RunTally::Outcome;
        bool held = (row.outcome == O::Skipped && !RunTally::NotReached(row)) ||
                    row.outcome == O::Completed || row.outcome == O::Replaced ||
                    row.outcome == O::Differs;
        count += row.sheet == sheet && held ? 1 : 0;
    }
    return count;
}

// "; 38 items already in the company", or nothing.
std::string HeldText(int held, const char* what) {
    std::string text;
    if (held > 0) {
        text += "; ";
        text += std::to_string(held);
        text += ' ';
        text += what;
        text += " already in the company";
    }
    return text;
}

std::string ItemsLine(const OpeningTotals& wrote, const OpeningTotals& holds, int held) {
    std::string stock = std::to_string(holds.stockLines) + " opening stock lines, quantity " +
                        NumberText(holds.quantity) + ", value " + Amount(holds.stockValue);
    if (wrote.items == 0) {
        std::string line = "Reconciled: 0 new items to check" + HeldText(held, "items");
        return holds.stockLines > 0 ? line + ", " + stock : line;
    }
    return "Reconciled: items " + std::to_string(holds.items) + " of " +
           std::to_string(wrote.items) + " in the company, " + stock + HeldText(held, "more items");
}

std::string LedgersLine(const OpeningTotals& wrote, const OpeningTotals& holds, int held) {
    std::string balances =
        "opening balances debit " + Amount(holds.debit) + ", credit " + Amount(holds.credit);
    if (wrote.ledgers == 0) {
        std::string line = "Reconciled: 0 new ledgers to check" + HeldText(held, "ledgers");
        bool posted = holds.debit != 0 || holds.credit != 0;
        return posted ? line + ", " + balances : line;
    }
    return "Reconciled: ledgers " + std::to_string(holds.ledgers) + " of " +
           std::to_string(wrote.ledgers) + " in the company, " + balances +
           HeldText(held, "more ledgers");
}

}  // namespace

OpeningTotals ExpectedTotals(const RunTally& tally) {
    OpeningTotals t;
    for (const auto& row : tally.rows) {
        if (!Posted(row.outcome)) {
            continue;
        }
        bool item = row.sheet == "items";
        if (Stored(row.outcome)) {
            (item ? t.items : t.ledgers) += 1;
        }
        if (row.posting.posted) {
            if (item) {
                ++t.stockLines;
                t.quantity += row.posting.quantity;
                t.stockValue += row.posting.value;
            } else {
                t.debit += row.posting.debit;
                t.credit += row.posting.credit;
            }
        }
    }
    return t;
}

RunTally::Baseline ReadBaseline(Connection& db) {
    RunTally::Baseline b;
    Recordset rs;
    rs.Open(
        "select (select max(StockHisId) from tblStockHistory), (select max(MainID) from "
        "tblVoucher)",
        db, CursorType::ForwardOnly, LockType::ReadOnly);
    b.stockHisId = static_cast<std::int64_t>(Real(rs.Field(0)));
    b.voucherMainId = static_cast<std::int64_t>(Real(rs.Field(1)));
    b.read = true;
    return b;
}

OpeningTotals ReadBackTotals(const RunTally& tally, Connection& db) {
    OpeningTotals t;
    t.items = CountFound(db, StoredIds(tally, "items"),
                         "select ItemID, ItemCode from tblItemMaster where ItemID");
    t.ledgers =
        CountFound(db, StoredIds(tally, "ledgers"), "select LID, LName from tblLedger where LID");
    Recordset stock;
    stock.Open(Sql("select count(*), total(QtyIN - QtyOut), total(PvalueIN - PvalueOut) from "
                   "tblStockHistory where VchType = 'OpeningStock' and StockHisId > ")
                   << sql::Int(tally.baseline.stockHisId),
               db, CursorType::ForwardOnly, LockType::ReadOnly);
    t.stockLines = static_cast<int>(Real(stock.Field(0)));
    t.quantity = Real(stock.Field(1));
    t.stockValue = Real(stock.Field(2));
    // Each voucher names the ledger in DrLID on the row of its own side.
    Recordset vouchers;
    vouchers.Open(Sql("select total(case when DrLID <> 0 then AmountD else 0 end), total(case "
                      "when DrLID <> 0 then AmountC else 0 end) from tblVoucher where TrType = "
                      "'Opening' and MainID > ")
                      << sql::Int(tally.baseline.voucherMainId),
                  db, CursorType::ForwardOnly, LockType::ReadOnly);
    t.debit = Real(vouchers.Field(0));
    t.credit = Real(vouchers.Field(1));
    return t;
}

Reconciliation Reconcile(const RunTally& tally, Connection& db) {
    OpeningTotals wrote = ExpectedTotals(tally);
    OpeningTotals holds = ReadBackTotals(tally, db);
    Reconciliation r;
    auto n = [](double v) { return NumberText(v); };
    r.lines.push_back(ItemsLine(wrote, holds, AlreadyThere(tally, "items")));
    r.lines.push_back(LedgersLine(wrote, holds, AlreadyThere(tally, "ledgers")));
    auto compare = [&](const char* what, double expected, double found, bool amount) {
        if (Same(expected, found)) {
            return;
        }
        ++r.differences;
        double diff = found - expected;
        auto text = [&](double v) { return amount ? Amount(v) : n(v); };
        r.lines.push_back(std::string("Reconciled: DIFFERENCE in ") + what + ": the run wrote " +
                          text(expected) + ", the company holds " + text(found) + " (" +
                          text(std::fabs(diff)) + (diff > 0 ? " more)" : " less)"));
    };
    compare("items", wrote.items, holds.items, false);
    compare("opening stock lines", wrote.stockLines, holds.stockLines, false);
    compare("opening stock quantity", wrote.quantity, holds.quantity, false);
    compare("opening stock value", wrote.stockValue, holds.stockValue, true);
    compare("ledgers", wrote.ledgers, holds.ledgers, false);
    compare("opening balances on the debit side", wrote.debit, holds.debit, true);
    compare("opening balances on the credit side", wrote.credit, holds.credit, true);
    return r;
}

}  // namespace ledgerlift
