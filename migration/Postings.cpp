#include "migration/Postings.h"

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"

namespace ledgerlift {

Value GetNextId(Connection& companyConnection, const std::string& TableName,
                const std::string& FieldName, const std::string& Condition, WindowOps& ops,
                std::string* error) {
    try {
        Sql statement = Sql("Select max(")
                        << Sql(FieldName) << ") + 1 as MAxid from " << Sql(TableName);
        if (!Condition.empty()) {
            statement << " where " << Sql(Condition);
        }
        Recordset rs;
        rs.Open(statement, companyConnection, CursorType::ForwardOnly, LockType::Optimistic);
        Value next = rs.Field("MaxID");
        return next.IsNull() ? Value(1) : next;
    } catch (const std::exception& failure) {
        if (error) {
            *error = failure.what();
        }
        ops.MsgBox(failure.what(), MsgButtons::OK, MsgIcon::Exclamation);
        return Value();
    }
}

Sql StockUpdateStatement(double q, const StockLine& line) {
    return Sql("update tblstock set qty=qty+")
           << sql::Number(q) << " where Itemid=" << sql::Int(line.ItemID)
           << " and Prate=" << sql::Number(line.PRate) << "  and Mrp = " << sql::Number(line.MRP);
}

Sql StockInsertStatement(std::int32_t stockId, double q, const StockLine& line) {
    return Sql("insert into tblStock (StockId, ItemID,BAtch,  Qty,pRate,SRate,Mrp,BatchCode,"
               "batchID ) values ( ")
           << sql::Int(stockId) << "," << sql::Int(line.ItemID) << ","
           << sql::Text(IntText(stockId)) << "," << sql::Number(q) << "," << sql::Number(line.PRate)
           << "," << sql::Number(line.SRate) << "," << sql::Number(line.MRP) << ","
           << sql::Text(line.BatchCode) << ",0)";
}

Sql StockHistoryStatement(std::int32_t stockHisId, const std::string& vchType,
                          std::int32_t stockMode, std::int32_t refId, const std::string& adnlRefId,
                          const StockLine& line, const Date& vchDate) {
    bool in = stockMode == kStockIn;
    double qty = line.Qty;
    auto side = [&](double value, bool inward) { return sql::Number(in == inward ? value : 0); };
    return Sql("insert into tblstockHistory(StockHisId,VchDate,  VchType ,RefId   ,AdnlRefID   "
               ",ItemID  ,QtyIN   ,QtyOut,BAtch  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,"
               "MrpValueIN,MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode) values( ")
           << sql::Int(stockHisId) << "," << sql::Date(vchDate) << "," << sql::Text(vchType) << ","
           << sql::Int(refId) << "," << sql::Text(adnlRefId) << "," << sql::Int(line.ItemID) << ","
           << side(qty, true) << "," << side(qty, false) << "," << sql::Text(line.Batch) << ","
           << side(qty * line.PRate, true) << "," << side(qty * line.PRate, false) << ","
           << side(qty * line.SRate, true) << "," << side(qty * line.SRate, false) << ","
           << side(qty * line.MRP, true) << "," << side(qty * line.MRP, false) << ","
           << side(line.FreeQty, true) << "," << side(line.FreeQty, false) << ","
           << sql::Text(line.BatchCode) << ")";
}

bool PostStockEntry(Connection& companyConnection, const std::string& VchType,
                    std::int32_t StockMode, std::int32_t RefId, const std::string& AdnlRefId,
                    StockLine& Line, const Date& VchDate, WindowOps& ops, std::string* error) {
    try {
        double q = (StockMode == kStockIn ? 1 : -1) * Line.Qty;
        // The stock row's change and its history line stand or fall together.
        Savepoint posting(companyConnection);
        if (companyConnection.Execute(StockUpdateStatement(q, Line)) == 0) {
            std::int32_t stockId =
                ToInt32(GetNextId(companyConnection, "tblStock", "StockID", "", ops));
            companyConnection.Execute(StockInsertStatement(stockId, q, Line));
        }
        std::int32_t stockHisId =
            ToInt32(GetNextId(companyConnection, "tblStockHistory", "StockHisId", "", ops));
        companyConnection.Execute(
            StockHistoryStatement(stockHisId, VchType, StockMode, RefId, AdnlRefId, Line, VchDate));
        posting.Commit();
    } catch (const std::exception& failure) {
        if (error) {
            *error = failure.what();
        }
        ops.MsgBox(failure.what(), MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    Line.ItemID = 0;
    Line.Qty = 0;
    Line.PRate = 0;
    Line.SRate = 0;
    Line.MRP = 0;
    Line.FreeQty = 0;
    Line.Batch.clear();
    return true;
}

namespace {

// The next TrID as max()+1 gave it: an integer, or a real over a column
// that holds reals (never a text: + makes a number of it).
Sql NextTrId(const Value& next) {
    if (next.IsNull()) {
        return Sql() << sql::Int(1);
    }
    if (next.IsInteger()) {
        return Sql() << sql::Int(next.AsInteger());
    }
    return Sql() << sql::Number(next.IsReal() ? next.AsReal() : Val(ValueToText(next)));
}

}  // namespace

std::int32_t PostVoucher(Connection& companyConnection, const std::string& TrType,
                         const Date& TrDate, std::int32_t DrLID, std::int32_t CrLID,
                         const std::string& Particulars, const std::string& Narration,
                         double Amount, const std::string& UserNarration, WindowOps& ops,
                         std::string* error) {
    try {
        // Both rows of a voucher are written, or neither.
        Savepoint voucher(companyConnection);
        Recordset rs;
        rs.Open(Sql("select max(trid)+1 as id from tblvoucher where trtype=") << sql::Text(TrType),
                companyConnection, CursorType::ForwardOnly, LockType::Optimistic);
        Sql trId = NextTrId(rs.Field("id"));
        rs.Close();
        rs.Open("select max(Mainid)+1 as id from tblvoucher ", companyConnection,
                CursorType::ForwardOnly, LockType::Optimistic);
        Value mainIdValue = rs.Field("id");
        std::int32_t mainId = mainIdValue.IsNull() ? 1 : ToInt32(mainIdValue);
        Sql head = Sql() << sql::Int(mainId) << "," << trId << "," << sql::Text(TrType) << ","
                         << sql::Text(DateText(TrDate)) << ",";
        sql::Currency amount(Amount);
        companyConnection.Execute(
            Sql("insert into  tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,Particulars,"
                "Narration,AmountD,AmountC,USerNarration,SortOrder,Optional)values(")
            << head << sql::Int(DrLID) << "," << sql::Int(CrLID) << "," << sql::Text(Particulars)
            << "," << sql::Text(Narration) << "," << amount << ",0," << sql::Text(UserNarration)
            << ",0,0)");
        companyConnection.Execute(
            Sql("insert into tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,Particulars,"
                "Narration,AmountD,AmountC,USerNarration,SortOrder,Optional) values(")
            << head << sql::Int(CrLID) << "," << sql::Int(DrLID) << "," << sql::Text(Particulars)
            << "," << sql::Text(Narration) << ",0," << amount << "," << sql::Text(UserNarration)
            << ",0,0)");
        voucher.Commit();
        return mainId;
    } catch (const std::exception& failure) {
        if (error) {
            *error = failure.what();
        }
        ops.MsgBox(failure.what(), MsgButtons::OK, MsgIcon::None);
        return 0;
    }
}

}  // namespace ledgerlift
