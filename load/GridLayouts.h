#pragma once

namespace ledgerlift {

// The column layouts of the two filled grids. The migration reads the cells by
// these 0-based columns; column 0 holds the worksheet row number.

inline constexpr const char* kItemFormat =
    "SLNO   |<ITEM CODE   |<ITEM NAME   |<CATEGORY    |<MANUFACTURE |>QOH |<PURCHASE RATE   "
    "|<WHOLESALE   |<MRP |<SALES VAT |<CST |<PURCHASE VAT    |<RATE INCLUSIVE OF TAX SALES "
    "|<RATE INCLUSIVE OF TAX PURCHASE|<UNIT|<Description|<ROL";
inline constexpr int kItemCols = 17;  // worksheet 1, columns A to P

inline constexpr const char* kLedgerFormat =
    "SL No    |<Ledger Alias Name    |<Ledger Name   |<AccountGroup  |<Address       |<Phone "
    "|<TIN       |<OpeningBalance    |<DrCr   |<Area";
inline constexpr int kLedgerCols = 10;  // worksheet 2, columns A to I

// Item grid columns.
namespace item {
inline constexpr int Code = 1, Name = 2, Category = 3, Manufacturer = 4, Qoh = 5, PurchaseRate = 6,
                     Wholesale = 7, Mrp = 8, SalesVat = 9, Cst = 10, PurchaseVat = 11,
                     RateInclusiveSales = 12, RateInclusivePurchase = 13, Unit = 14,
                     Description = 15, Rol = 16;
}

// Ledger grid columns.
namespace ledger {
inline constexpr int AliasName = 1, Name = 2, AccountGroup = 3, Address = 4, Phone = 5, Tin = 6,
                     OpeningBalance = 7, DrCr = 8, Area = 9;
}

// The last worksheet row that the import reads.
inline constexpr int kLastSheetRow = 65000;

}  // namespace ledgerlift
