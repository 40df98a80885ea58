#include "migration/Postings.h"

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"

namespace ledgerlift {

Value GetNextId(Connection& companyConnection, const std::string& TableName,
                const std::string& FieldName, const std::string& Condition, WindowOps& ops,
                std::string* error) {
    try {
        std::string statement = "Select max(" + FieldName + ") + 1 as MAxid from " + TableName;
        if (!Condition.empty()) {
            statement += " where " + Condition;
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

std::string StockUpdateStatement(double q, const StockLine& line) {
    return "update tblstock set qty=qty+" + NumberText(q) + " where " +
           "Itemid=" + IntText(line.ItemID) + " and Prate=" + NumberText(line.PRate) +
           "  and Mrp = " + NumberText(line.MRP);
}

std::string StockInsertStatement(std::int32_t stockId, double q, const StockLine& line) {
    return "insert into tblStock (StockId, ItemID,BAtch,  Qty,pRate,SRate,Mrp,BatchCode,batchID ) "
           "values ( " +
           IntText(stockId) + "," + IntText(line.ItemID) + ",'" + IntText(stockId) + "'," +
           NumberText(q) + "," + NumberText(line.PRate) + "," + NumberText(line.SRate) + "," +
           NumberText(line.MRP) + ",'" + line.BatchCode + "'," + IntText(0) + ")";
}

std::string StockHistoryStatement(std::int32_t stockHisId, const std::string& vchType,
                                  std::int32_t stockMode, std::int32_t refId,
                                  const std::string& adnlRefId, const StockLine& line,
                                  const Date& vchDate) {
    bool in = stockMode == kStockIn;
    double qty = line.Qty;
    auto side = [&](double value, bool inward) { return NumberText(in == inward ? value : 0); };
    return "insert into tblstockHistory(StockHisId,VchDate,  VchType ,RefId   ,AdnlRefID   ,ItemID"
           "  ,QtyIN   ,QtyOut,BAtch  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,MrpValueIN,"
           "MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode) values( " +
           IntText(stockHisId) + ",#" + DateText(vchDate) + "#,'" + vchType + "'," +
           IntText(refId) + ",'" + adnlRefId + "'," + IntText(line.ItemID) + "," + side(qty, true) +
           "," + side(qty, false) + ",'" + line.Batch + "'," + side(qty * line.PRate, true) + "," +
           side(qty * line.PRate, false) + "," + side(qty * line.SRate, true) + "," +
           side(qty * line.SRate, false) + "," + side(qty * line.MRP, true) + "," +
           side(qty * line.MRP, false) + "," + side(line.FreeQty, true) + "," +
           side(line.FreeQty, false) + ",'" + SqlEscape(line.BatchCode) + "')";
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

std::int32_t PostVoucher(Connection& companyConnection, const std::string& TrType,
                         const Date& TrDate, std::int32_t DrLID, std::int32_t CrLID,
                         const std::string& Particulars, const std::string& Narration,
                         double Amount, const std::string& UserNarration, WindowOps& ops,
                         std::string* error) {
    try {
        // Both rows of a voucher are written, or neither.
        Savepoint voucher(companyConnection);
        Recordset rs;
        rs.Open("select max(trid)+1 as id from tblvoucher where trtype='" + TrType + "'",
                companyConnection, CursorType::ForwardOnly, LockType::Optimistic);
        Value trId = rs.Field("id");
        std::string trIdText = trId.IsNull() ? "1" : ValueToText(trId);
        rs.Close();
        rs.Open("select max(Mainid)+1 as id from tblvoucher ", companyConnection,
                CursorType::ForwardOnly, LockType::Optimistic);
        Value mainIdValue = rs.Field("id");
        std::int32_t mainId = mainIdValue.IsNull() ? 1 : ToInt32(mainIdValue);
        std::string head =
            IntText(mainId) + "," + trIdText + ",'" + TrType + "','" + DateText(TrDate) + "',";
        std::string amount = CurrencyText(Amount);
        companyConnection.Execute(
            "insert into  tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,Particulars,Narration,"
            "AmountD,AmountC,USerNarration,SortOrder,Optional)values(" +
            head + IntText(DrLID) + "," + IntText(CrLID) + ",'" + Particulars + "','" + Narration +
            "'," + amount + ",0,'" + SqlEscape(UserNarration) + "',0,0)");
        companyConnection.Execute(
            "insert into tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,Particulars,Narration,"
            "AmountD,AmountC,USerNarration,SortOrder,Optional) values(" +
            head + IntText(CrLID) + "," + IntText(DrLID) + ",'" + Particulars + "','" + Narration +
            "',0," + amount + ",'" + SqlEscape(UserNarration) + "',0,0)");
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
