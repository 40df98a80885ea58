#include "migration/ItemRead.h"

#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "ui/Grid.h"

namespace ledgerlift {

bool IsItemNumberColumn(int col) {
    switch (col) {
        case item::Qoh:
        case item::PurchaseRate:
        case item::Wholesale:
        case item::Mrp:
        case item::SalesVat:
        case item::Cst:
        case item::PurchaseVat:
        case item::Rol:
            return true;
        default:
            return false;
    }
}

bool IsTaxColumn(int col) {
    return col == item::SalesVat || col == item::Cst || col == item::PurchaseVat;
}

bool IsTotalLine(const std::string& name) {
    std::string n = Upper(TrimBlanks(name));
    while (!n.empty() && (n.back() == ':' || n.back() == ' ')) {
        n.pop_back();
    }
    return n == "TOTAL" || n == "GRAND TOTAL" || n == "SUB TOTAL" || n == "SUBTOTAL" ||
           n == "SUB-TOTAL";
}

namespace {

// The errors of the row's keys: an empty code or name, a total line.
void KeyErrors(const RowPlace& place, ItemRowRead& read) {
    const std::string end = "; the row is not migrated.";
    std::string code = TrimBlanks(read[item::Code].text);
    std::string name = TrimBlanks(read[item::Name].text);
    if (code.empty()) {
        read.errors.push_back({place.Name() + ": no item code" + end, kind::NoCode,
                               place.ColumnLetter(item::Code), place.ColumnHeading(item::Code)});
    }
    if (name.empty()) {
        read.errors.push_back({place.Name() + ": no item name" + end, kind::NoName,
                               place.ColumnLetter(item::Name), place.ColumnHeading(item::Name)});
    } else if (IsTotalLine(name)) {
        read.errors.push_back(
            {place.Name() + ": \"" + name + "\" looks like a total line, not an item" + end,
             kind::TotalLine, place.ColumnLetter(item::Name), place.ColumnHeading(item::Name)});
    }
}

// A rate-inclusive flag: YES (in any letter case, as it stands), or
// anything else as NO: a warning unless it is NO or blank.
int Flag(const RowPlace& place, int col, ItemRowRead& read) {
    if (Upper(read[col].text) == "YES") {
        return 1;
    }
    std::string text = Upper(TrimBlanks(read[col].text));
    if (!text.empty() && text != "NO") {
        read.warnings.push_back({place.Column(col) + " holds \"" + read[col].text +
                                     "\", which is not YES, so the rate is taken as exclusive "
                                     "of tax.",
                                 kind::NotYesOrNo, place.ColumnLetter(col),
                                 place.ColumnHeading(col)});
    }
    return 0;
}

}  // namespace

ItemRowRead ReadItemRow(const Grid& grid, int row, bool updateMode) {
    ItemRowRead read;
    RowPlace place{"Item", grid, row, item::Code};
    read.cells.resize(kItemCols);
    for (int c = item::Code; c <= item::Rol; ++c) {
        read.cells[static_cast<std::size_t>(c)] =
            IsItemNumberColumn(c) ? ReadNumberCell(place, c, {IsTaxColumn(c), false})
                                  : ReadTextCell(place, c);
    }
    read.updateMode = updateMode;
    KeyErrors(place, read);
    for (int c = item::Code; c <= item::Rol; ++c) {
        if (read[c].HasError()) {
            read.errors.push_back(read[c].error);
        }
    }
    if (TrimBlanks(read[item::Category].text).empty()) {
        read.warnings.push_back(
            {"The category cell is empty, so the item is filed under a category without a name.",
             kind::EmptyCategory, place.ColumnLetter(item::Category),
             place.ColumnHeading(item::Category)});
    }
    read.salesFlag = Flag(place, item::RateInclusiveSales, read);
    read.purchaseFlag = Flag(place, item::RateInclusivePurchase, read);
    return read;
}

}  // namespace ledgerlift
