#include "load/FieldNotes.h"

#include <vector>

namespace ledgerlift {

// In grid-column order, as Fields() lists the fields.
const FieldNote& NoteOf(SheetKind kind, int gridCol) {
    using enum FieldValue;
    static const std::vector<FieldNote> items = {
        {Text, "@", "Required. The item's code, one row per code; kept as text."},
        {Text, "", "Required. The item's name."},
        {Text, "",
         "The item's category. A category the company does not have yet is made by the "
         "migration."},
        {Text, "", "The maker or brand of the item."},
        {Number, "0.000",
         "The opening stock: the quantity on hand, in the item's UNIT. A number; decimals "
         "allowed."},
        {Number, "0.00", "The purchase rate of one UNIT, in the company's currency."},
        {Number, "0.00", "The wholesale (selling) rate of one UNIT, in the company's currency."},
        {Number, "0.00", "The maximum retail price of one UNIT, in the company's currency."},
        {Number, "0.00", "The sales tax, in percent: 12.5 for 12.5 %."},
        {Number, "0.00", "The central sales tax, in percent: 2 for 2 %."},
        {Number, "0.00", "The purchase tax, in percent: 4 for 4 %."},
        {YesNo, "", "YES when the sales rate includes the tax, NO when it does not."},
        {YesNo, "", "YES when the purchase rate includes the tax, NO when it does not."},
        {Text, "", "The unit the item is counted in: Nos, Kg, Ltr, ..."},
        {Text, "", "A description of the item."},
        {Number, "0.000", "The reorder level: the quantity, in the item's UNIT, to reorder at."},
    };
    static const std::vector<FieldNote> ledgers = {
        {Text, "@", "A short name or code for the ledger (an alias)."},
        {Text, "", "Required. The ledger's name: the customer, supplier or account."},
        {Text, "",
         "The account group the ledger stands under: Sundry Debtors for a customer, Sundry "
         "Creditors for a supplier, ..."},
        {Text, "", "The postal address."},
        {Text, "@", "The phone number, kept as text."},
        {Text, "@", "The tax identification number, kept as text."},
        {Number, "0.00",
         "The opening balance, in the company's currency, without a sign: DrCr says its side."},
        {DrCr, "", "Dr for a debit opening balance (owed to the company), Cr for a credit one."},
        {Text, "", "The area, region or route the ledger belongs to."},
    };
    const auto& notes = kind == SheetKind::Items ? items : ledgers;
    return notes[static_cast<std::size_t>(gridCol) - 1];
}

}  // namespace ledgerlift
