#include "migration/HeldMasters.h"

#include <cmath>
#include <vector>

#include "base/TextRules.h"
#include "data/DataError.h"
#include "data/Recordset.h"
#include "data/Sql.h"

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
    rs.Open(Sql("select ItemID, ItemName, (select count(*) from tblStockHistory h where h.ItemID = "
                "i.ItemID and h.VchType = 'OpeningStock'), (select total(QtyIN - QtyOut) from "
                "tblStockHistory h where h.ItemID = i.ItemID and h.VchType = 'OpeningStock') from "
                "tblItemMaster i where ItemCode = ")
                << sql::Text(Trim(code)),
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
    Sql query(
        "select StockHisId, QtyIN - QtyOut, PvalueIN - PvalueOut, MrpValueIN - MrpValueOut "
        "from tblStockHistory where VchType = 'OpeningStock' and ItemID = ");
    query << sql::Int(itemId);
    if (upTo > 0) {
        query << " and StockHisId <= " << sql::Int(upTo);
    }
    rs.Open(query, db, CursorType::ForwardOnly, LockType::ReadOnly);
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
                return Sql("abs(") << column << " - " << sql::Number(v) << ") <= 1e-6 * max(1, abs("
                                   << sql::Number(v) << "))";
            };
            long changed = db.Execute(Sql("update tblStock set Qty = Qty - ")
                                      << sql::Number(line.qty) << " where ItemID = "
                                      << sql::Int(itemId) << " and " << near("PRate", line.prate)
                                      << " and " << near("MRP", line.mrp));
            if (changed != 1) {
                throw DataError("The opening stock of the item with ItemID " + IntText(itemId) +
                                " can't be taken back: its stock row is not as the migration "
                                "left it.");
            }
        }
        db.Execute(Sql("delete from tblStockHistory where StockHisId = ") << sql::Int(line.id));
    }
}

std::optional<HeldLedger> ReadHeldLedger(Connection& db, const std::string& name) {
    Recordset rs;
    rs.Open(Sql("select LID, (select count(*) from tblVoucher v where v.DrLID = l.LID and "
                "v.TrType = 'Opening'), (select total(AmountD) from tblVoucher v where v.DrLID = "
                "l.LID and v.TrType = 'Opening'), (select total(AmountC) from tblVoucher v where "
                "v.DrLID = l.LID and v.TrType = 'Opening') from tblLedger l where LName = ")
                << sql::Text(Trim(name)),
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
    db.Execute(Sql("delete from tblVoucher where +TrType = 'Opening' and MainID in (select MainID "
                   "from tblVoucher where TrType = 'Opening' and DrLID = ")
               << sql::Int(lid) << " and MainID <> " << sql::Int(keep) << ")");
}

}  // namespace ledgerlift
