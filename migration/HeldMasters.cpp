#include "migration/HeldMasters.h"

#include <cmath>
#include <vector>

#include "base/TextRules.h"
#include "data/DataError.h"
#include "data/Recordset.h"

namespace ledgerlift {
namespace {

double Real(const Value& v) {
    return v.IsNull()      ? 0
           : v.IsInteger() ? static_cast<double>(v.AsInteger())
                           : Val(ValueToText(v));
}

}  // namespace

std::optional<HeldItem> ReadHeldItem(Connection& db, const std::string& code) {
    Recordset rs;
    rs.Open(
        "select ItemID, ItemName, (select count(*) from tblStockHistory h where h.ItemID = "
        "i.ItemID and h.VchType = 'OpeningStock'), (select total(QtyIN - QtyOut) from "
        "tblStockHistory h where h.ItemID = i.ItemID and h.VchType = 'OpeningStock') from "
        "tblItemMaster i where ItemCode = '" +
            SqlEscape(Trim(code)) + "'",
        db, CursorType::ForwardOnly, LockType::ReadOnly);
    if (rs.IsEOF()) {
        return std::nullopt;
    }
    HeldItem held;
    held.id = ToInt32(rs.Field(0));
    held.name = ValueToText(rs.Field(1));
    held.openingLines = static_cast<int>(Real(rs.Field(2)));
    held.openingQuantity = Real(rs.Field(3));
    return held;
}

std::int64_t LastStockLine(Connection& db) {
    Recordset rs;
    rs.Open("select max(StockHisId) from tblStockHistory", db, CursorType::ForwardOnly,
            LockType::ReadOnly);
    return static_cast<std::int64_t>(Real(rs.Field(0)));
}

void RemoveOpeningStock(Connection& db, std::int32_t itemId, std::int64_t upTo) {
    struct Line {
        std::int64_t id;
        double qty, prate, mrp;
    };
    std::vector<Line> lines;
    Recordset rs;
    rs.Open(
        "select StockHisId, QtyIN - QtyOut, PvalueIN - PvalueOut, MrpValueIN - MrpValueOut "
        "from tblStockHistory where VchType = 'OpeningStock' and ItemID = " +
            IntText(itemId) + (upTo > 0 ? " and StockHisId <= " + IntText(upTo) : ""),
        db, CursorType::ForwardOnly, LockType::ReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        double qty = Real(rs.Field(1));
        lines.push_back({static_cast<std::int64_t>(Real(rs.Field(0))), qty,
                         qty == 0 ? 0 : Real(rs.Field(2)) / qty,
                         qty == 0 ? 0 : Real(rs.Field(3)) / qty});
    }
    rs.Close();
    for (const Line& line : lines) {
        if (line.qty != 0) {
            // The stock row the posting added to: its item at its rates.
            auto near = [](const char* column, double v) {
                return std::string("abs(") + column + " - " + NumberText(v) +
                       ") <= 1e-6 * max(1, abs(" + NumberText(v) + "))";
            };
            long changed = db.Execute("update tblStock set Qty = Qty - " + NumberText(line.qty) +
                                      " where ItemID = " + IntText(itemId) + " and " +
                                      near("PRate", line.prate) + " and " + near("MRP", line.mrp));
            if (changed != 1) {
                throw DataError("The opening stock of the item with ItemID " + IntText(itemId) +
                                " can't be taken back: its stock row is not as the migration "
                                "left it.");
            }
        }
        db.Execute("delete from tblStockHistory where StockHisId = " + IntText(line.id));
    }
}

std::optional<HeldLedger> ReadHeldLedger(Connection& db, const std::string& name) {
    Recordset rs;
    rs.Open(
        "select LID, (select count(*) from tblVoucher v where v.DrLID = l.LID and v.TrType = "
        "'Opening'), (select total(AmountD) from tblVoucher v where v.DrLID = l.LID and "
        "v.TrType = 'Opening'), (select total(AmountC) from tblVoucher v where v.DrLID = "
        "l.LID and v.TrType = 'Opening') from tblLedger l where LName = '" +
            SqlEscape(Trim(name)) + "'",
        db, CursorType::ForwardOnly, LockType::ReadOnly);
    if (rs.IsEOF()) {
        return std::nullopt;
    }
    HeldLedger held;
    held.lid = ToInt32(rs.Field(0));
    held.vouchers = static_cast<int>(Real(rs.Field(1)));
    held.debit = Real(rs.Field(2));
    held.credit = Real(rs.Field(3));
    return held;
}

void RemoveOpeningVouchers(Connection& db, std::int32_t lid, std::int32_t keep) {
    // "+TrType" keeps the type out of the search: by it, the delete would
    // read every opening voucher of the company for each ledger, rather than
    // the ledger's few by their MainID.
    db.Execute(
        "delete from tblVoucher where +TrType = 'Opening' and MainID in (select MainID from "
        "tblVoucher where TrType = 'Opening' and DrLID = " +
        IntText(lid) + " and MainID <> " + IntText(keep) + ")");
}

}  // namespace ledgerlift
