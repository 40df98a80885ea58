#include "load/FieldCatalog.h"

namespace ledgerlift {

// The names are compared by their words (see HeadingWords): case, blanks,
// punctuation and small words do not count, and common abbreviations count
// as their words ("Qty" is "quantity").
namespace {

const std::vector<FieldInfo>& ItemFields() {
    static const std::vector<FieldInfo> items = {
        {1,
         "ITEM CODE",
         {"Code", "Item Code", "SKU", "Product Code", "Item No", "Part No", "Stock Code",
          "Article No"},
         true},
        {2,
         "ITEM NAME",
         {"Item", "Item Name", "Product", "Product Name", "Name", "Stock Item"},
         true},
        {3,
         "CATEGORY",
         {"Category", "Item Category", "Product Category", "Group", "Item Group", "Stock Group",
          "Product Group"},
         false},
        {4, "MANUFACTURE", {"Manufacturer", "Make", "Brand", "Mfr"}, false},
        {5,
         "QOH",
         {"Qty", "Quantity", "Opening Qty", "Stock", "Opening Stock", "Qty On Hand", "Stock Qty",
          "Closing Stock"},
         false},
        {6,
         "PURCHASE RATE",
         {"Purchase Price", "Cost", "Cost Price", "Buying Price", "Unit Cost"},
         false},
        {7,
         "WHOLESALE",
         {"Sale Price", "Sales Price", "Selling Price", "Sale Rate", "Sales Rate", "Selling Rate"},
         false},
        {8, "MRP", {"Max Retail Price", "Maximum Retail Price", "Retail Price"}, false},
        {9, "SALES VAT", {"Sales Tax", "VAT", "GST", "Tax", "Tax Rate", "Output Tax"}, false},
        {10, "CST", {"Central Sales Tax"}, false},
        {11, "PURCHASE VAT", {"Purchase Tax", "Input Tax", "Input VAT"}, false},
        {12,
         "RATE INCLUSIVE OF TAX SALES",
         {"Sales Rate Inclusive Of Tax", "Sales Inclusive Of Tax", "Sales Tax Inclusive"},
         false},
        {13,
         "RATE INCLUSIVE OF TAX PURCHASE",
         {"Purchase Rate Inclusive Of Tax", "Purchase Inclusive Of Tax", "Purchase Tax Inclusive"},
         false},
        {14, "UNIT", {"UOM", "Units", "Unit Of Measure"}, false},
        {15, "Description", {"Desc", "Details", "Item Description"}, false},
        {16, "ROL", {"Reorder Level", "Re-order Level", "Minimum Stock", "Min Stock"}, false},
    };
    return items;
}

const std::vector<FieldInfo>& LedgerFields() {
    static const std::vector<FieldInfo> ledgers = {
        {1,
         "Ledger Alias Name",
         {"Alias", "Alias Name", "Ledger Alias", "Short Name", "Code", "Ledger Code", "Party Code",
          "Account Code", "Customer Code", "Supplier Code"},
         false},
        {2,
         "Ledger Name",
         {"Ledger", "Name", "Party", "Party Name", "Account", "Account Name", "Customer",
          "Customer Name", "Supplier", "Supplier Name"},
         true},
        {3,
         "AccountGroup",
         {"Account Group", "Group", "Group Name", "Ledger Group", "Under", "Parent Group"},
         false},
        {4, "Address", {"Billing Address", "Street"}, false},
        {5,
         "Phone",
         {"Phone No", "Phone Number", "Mobile", "Mobile No", "Telephone", "Tel", "Contact",
          "Contact No"},
         false},
        {6,
         "TIN",
         {"GSTIN", "GST No", "GST Number", "Tax No", "Tax Number", "VAT No", "VAT Number",
          "TIN No"},
         false},
        {7,
         "OpeningBalance",
         {"Balance", "Op Bal", "Opening Amount", "Amount", "Closing Balance"},
         false},
        {8, "DrCr", {"Dr/Cr", "Balance Type", "Type", "Side", "Debit/Credit", "Dr or Cr"}, false},
        {9, "Area", {"Region", "Route", "Zone", "Territory", "Locality"}, false},
    };
    return ledgers;
}

}  // namespace

const std::vector<FieldInfo>& Fields(SheetKind kind) {
    return kind == SheetKind::Items ? ItemFields() : LedgerFields();
}

const std::vector<const char*>& AmbiguousNames(SheetKind kind) {
    static const std::vector<const char*> items = {
        "Rate", "Price", "Amount", "Value", "Unit Price", "Unit Rate", "Tax Amount", "Total"};
    static const std::vector<const char*> ledgers = {"Total", "Value"};
    return kind == SheetKind::Items ? items : ledgers;
}

const std::vector<const char*>& SheetNameSigns(SheetKind kind) {
    static const std::vector<const char*> items = {"item",    "items",    "stock",    "stocks",
                                                   "product", "products", "inventory"};
    static const std::vector<const char*> ledgers = {
        "ledger",    "ledgers", "party",     "parties",  "customer", "customers", "supplier",
        "suppliers", "debtors", "creditors", "accounts", "vendors",  "clients"};
    return kind == SheetKind::Items ? items : ledgers;
}

const char* KindWord(SheetKind kind) {
    return kind == SheetKind::Items ? "items" : "ledgers";
}

const char* RowWord(SheetKind kind) {
    return kind == SheetKind::Items ? "Item" : "Ledger";
}

}  // namespace ledgerlift
