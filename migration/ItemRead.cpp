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

std::vector<std::string> ItemRowRead::Problems() const {
    std::vector<std::string> problems;
    if (TrimBlanks((*this)[item::Category].text).empty()) {
        problems.push_back(
            "The category cell is empty, so the item is filed under a category without a name.");
    }
    for (int c = item::Code; c <= item::Rol; ++c) {
        if (IsItemNumberColumn(c) && !(*this)[c].warning.empty()) {
            problems.push_back((*this)[c].warning);
        }
    }
    return problems;
}

ItemRowRead ReadItemRow(const Grid& grid, int row, bool updateMode) {
    ItemRowRead read;
    RowPlace place{"Item", grid, row, item::Code};
    read.cells.resize(kItemCols);
    for (int c = item::Code; c <= item::Rol; ++c) {
        read.cells[static_cast<std::size_t>(c)] =
            IsItemNumberColumn(c) ? ReadNumberCell(place, c) : ReadTextCell(place, c);
    }
    read.updateMode = updateMode;
    read.salesFlag = Upper(read[item::RateInclusiveSales].text) == "YES" ? 1 : 0;
    read.purchaseFlag = Upper(read[item::RateInclusivePurchase].text) == "YES" ? 1 : 0;
    return read;
}

}  // namespace ledgerlift
