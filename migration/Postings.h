#pragma once

#include <cstdint>
#include <string>

#include "base/Date.h"
#include "base/Value.h"
#include "data/Connection.h"
#include "data/Sql.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Identifier allocation and the postings. Each takes the connection it reads
// and writes, companyConnection: the run's connection to the chosen company's
// database (nothing here keeps one of its own).

// "Select max(<field>) + 1 as MAxid from <table>[ where <condition>]": the
// largest stored value plus one, 1 when there is none, the empty value after a
// failure (reported with the exclamation icon). Nothing is reserved. error,
// when given, receives the failure's description.
Value GetNextId(Connection& companyConnection, const std::string& TableName,
                const std::string& FieldName, const std::string& Condition, WindowOps& ops,
                std::string* error = nullptr);

// One stock movement of one item.
struct StockLine {
    std::int32_t ItemID = 0;
    std::string BatchCode;
    double Qty = 0;  // with its own sign; the mode decides the direction
    double PRate = 0;
    double SRate = 0;
    double MRP = 0;
    std::string Batch;
    double FreeQty = 0;
};

inline constexpr std::int32_t kStockIn = 1;
inline constexpr std::int32_t kStockOut = 2;

// Changes the item's stock row at the line's purchase rate and MRP by the
// quantity (+ for mode 1, - for mode 2), creating the row when there is none,
// and appends one history line dated VchDate. Both happen or neither: a
// failure is reported (exclamation icon), undone, and gives false. After a
// posting the line's numbers and Batch are cleared. error, when given,
// receives the failure's description.
bool PostStockEntry(Connection& companyConnection, const std::string& VchType,
                    std::int32_t StockMode, std::int32_t RefId, const std::string& AdnlRefId,
                    StockLine& Line, const Date& VchDate, WindowOps& ops,
                    std::string* error = nullptr);

// The statements of a posting, with their values.
Sql StockUpdateStatement(double q, const StockLine& line);
Sql StockInsertStatement(std::int32_t stockId, double q, const StockLine& line);
Sql StockHistoryStatement(std::int32_t stockHisId, const std::string& vchType,
                          std::int32_t stockMode, std::int32_t refId, const std::string& adnlRefId,
                          const StockLine& line, const Date& vchDate);

// Writes one voucher: a debit row and a credit row under the next MainID
// (over the table) and the next TrID (per voucher type). Both rows are written
// or neither; a failure is reported once (no icon) and gives 0. Gives the
// voucher's MainID. error, when given, receives the failure's description.
std::int32_t PostVoucher(Connection& companyConnection, const std::string& TrType,
                         const Date& TrDate, std::int32_t DrLID, std::int32_t CrLID,
                         const std::string& Particulars, const std::string& Narration,
                         double Amount, const std::string& UserNarration, WindowOps& ops,
                         std::string* error = nullptr);

}  // namespace ledgerlift
