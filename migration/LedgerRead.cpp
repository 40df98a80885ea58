#include "migration/LedgerRead.h"

#include <cmath>

#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "ui/Grid.h"

namespace ledgerlift {

Side ReadSide(const std::string& cell) {
    std::string side = Upper(std::string(TrimBlanks(cell)));
    if (!side.empty() && side.back() == '.') {
        side.pop_back();
    }
    if (side == "CR" || side == "CREDIT") {
        return Side::Credit;
    }
    if (side.empty() || side == "DR" || side == "DEBIT") {
        return Side::Debit;
    }
    return Side::Unrecognised;
}

double LedgerRowRead::Amount() const {
    if (!amountError.empty()) {
        throw ConversionError(amountError);
    }
    return amount;
}

namespace {

// The balance as the voucher will hold it: a balance that rounds to 0.0000
// posts nothing. A failure names the cell.
void ReadAmount(const RowPlace& place, LedgerRowRead& read) {
    try {
        read.amount = ToCurrency(std::fabs(CellNumber(place, ledger::OpeningBalance)));
    } catch (const ConversionError& error) {
        std::string why = error.what();
        read.amountError =
            why.rfind(place.Name(), 0) == 0
                ? why
                : place.Name() + ", " + place.Column(ledger::OpeningBalance) + ": " + why;
    }
}

}  // namespace

LedgerRowRead ReadLedgerRow(const Grid& grid, int row) {
    LedgerRowRead read;
    RowPlace place{"Ledger", grid, row, ledger::Name};
    read.cells.resize(kLedgerCols);
    for (int c = ledger::AliasName; c <= ledger::Area; ++c) {
        read.cells[static_cast<std::size_t>(c)] =
            c == ledger::OpeningBalance ? ReadNumberCell(place, c) : ReadTextCell(place, c);
    }
    const std::string& drCr = read[ledger::DrCr].text;
    Side side = ReadSide(drCr);
    read.debit = side != Side::Credit;
    if (side == Side::Unrecognised) {
        read.sideWarning = place.Column(ledger::DrCr) + " holds \"" + drCr +
                           "\", which is not a side (Dr or Cr); the balance is posted as a debit.";
    }
    ReadAmount(place, read);
    return read;
}

}  // namespace ledgerlift
