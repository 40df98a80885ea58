#include "window/NumberColumns.h"

#include "load/GridLayouts.h"

namespace ledgerlift {

std::vector<int> NumberColumns(int grid) {
    switch (grid) {
        case 0:
            return {0,         item::Qoh,      item::PurchaseRate, item::Wholesale,
                    item::Mrp, item::SalesVat, item::Cst,          item::PurchaseVat,
                    item::Rol};
        case 1:
            return {0, ledger::OpeningBalance};
        default:
            return {};
    }
}

}  // namespace ledgerlift
