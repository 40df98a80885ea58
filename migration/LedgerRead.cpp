#include "migration/LedgerRead.h"

#include <cmath>

#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "migration/ItemRead.h"
#include "ui/Grid.h"

namespace ledgerlift {

Side ReadSide(const std::string& cell) {
    if (TrimBlanks(cell).empty()) {
        return Side::None;
    }
    switch (SideWordOf(cell)) {
        case StrictNumber::SideWord::Debit:
            return Side::Debit;
        case StrictNumber::SideWord::Credit:
            return Side::Credit;
        default:
            return Side::Unrecognised;
    }
}

double LedgerRowRead::Amount() const {
    if (!amountError.empty()) {
        throw ConversionError(amountError);
    }
    return amount;
}

namespace {

Finding CellFinding(const RowPlace& place, int col, const std::string& text, const char* kindWord) {
    return {text, kindWord, place.ColumnLetter(col), place.ColumnHeading(col)};
}

// The balance as the voucher will hold it: a balance that rounds to 0.0000
// posts nothing. A failure names the cell.
void ReadAmount(const RowPlace& place, LedgerRowRead& read) {
    try {
        read.amount = ToCurrency(std::fabs(read[ledger::OpeningBalance].number));
    } catch (const ConversionError& error) {
        std::string why = error.what();
        read.amountError = place.Name() + ", " + place.Column(ledger::OpeningBalance) + ": " + why;
    }
}

void KeyErrors(const RowPlace& place, LedgerRowRead& read) {
    const std::string end = "; the row is not migrated.";
    std::string name = TrimBlanks(read[ledger::Name].text);
    if (name.empty()) {
        read.errors.push_back(CellFinding(place, ledger::Name,
                                          place.Name() + ": no ledger name" + end, kind::NoName));
    } else if (IsTotalLine(name)) {
        read.errors.push_back(CellFinding(
            place, ledger::Name,
            place.Name() + ": \"" + name + "\" looks like a total line, not a ledger" + end,
            kind::TotalLine));
    }
}

// The side of a balance that is not 0, by the rules above.
void ReadBalanceSide(const RowPlace& place, bool negativeIsCredit, LedgerRowRead& read) {
    const CellReading& balance = read[ledger::OpeningBalance];
    const std::string drCrText = TrimBlanks(read[ledger::DrCr].text);
    Side drCr = ReadSide(drCrText);
    StrictNumber::SideWord word = balance.side;
    bool negative = balance.number < 0;
    std::string where = place.Name() + ", ";
    auto error = [&](int col, const std::string& why, const char* kindWord) {
        read.errors.push_back(
            CellFinding(place, col, where + place.Column(col) + ": " + why, kindWord));
    };
    if (drCr == Side::Unrecognised) {
        error(ledger::DrCr, "\"" + drCrText + "\" is neither Dr nor Cr.", kind::NotASide);
        return;
    }
    bool wordDebit = word == StrictNumber::SideWord::Debit;
    if (drCr != Side::None) {
        if (word != StrictNumber::SideWord::None && wordDebit != (drCr == Side::Debit)) {
            error(ledger::OpeningBalance,
                  "the amount \"" + TrimBlanks(balance.text) + "\" says " +
                      (wordDebit ? "Dr" : "Cr") + ", but the DrCr cell says " + drCrText + ".",
                  kind::SidesDisagree);
            return;
        }
        read.debit = drCr == Side::Debit;
    } else if (word != StrictNumber::SideWord::None) {
        read.debit = wordDebit;
        read.warnings.push_back(CellFinding(
            place, ledger::OpeningBalance,
            place.Column(ledger::DrCr) + " is blank; the side is read from the amount \"" +
                TrimBlanks(balance.text) + "\" (" + (wordDebit ? "Dr" : "Cr") + ").",
            kind::SideFromAmount));
    } else if (negativeIsCredit) {
        read.debit = !negative;
        return;
    } else if (negative) {
        std::string why(1, '"');  // appended: GCC 12 -O3 warns falsely on "\"" + text
        why += TrimBlanks(balance.text);
        why += "\" is a negative balance without Dr or Cr.";
        error(ledger::OpeningBalance, why, kind::NoSide);
        return;
    } else {
        return;  // the account group decides
    }
    if (negative) {
        read.warnings.push_back(CellFinding(
            place, ledger::OpeningBalance,
            "The opening balance " + TrimBlanks(balance.text) +
                " is negative; its sign is dropped and its side word decides the side (" +
                std::string(*read.debit ? "Dr" : "Cr") + ").",
            kind::SignDropped));
    }
}

}  // namespace

LedgerRowRead ReadLedgerRow(const Grid& grid, int row, bool negativeIsCredit) {
    LedgerRowRead read;
    RowPlace place{"Ledger", grid, row, ledger::Name};
    read.cells.resize(kLedgerCols);
    for (int c = ledger::AliasName; c <= ledger::Area; ++c) {
        read.cells[static_cast<std::size_t>(c)] = c == ledger::OpeningBalance
                                                      ? ReadNumberCell(place, c, {false, true})
                                                      : ReadTextCell(place, c);
    }
    KeyErrors(place, read);
    const CellReading& balance = read[ledger::OpeningBalance];
    if (balance.HasError()) {
        read.errors.push_back(balance.error);
        return read;
    }
    ReadAmount(place, read);
    if (read.amountError.empty() && read.amount == 0) {
        read.debit = ReadSide(read[ledger::DrCr].text) != Side::Credit;
        return read;
    }
    ReadBalanceSide(place, negativeIsCredit, read);
    return read;
}

}  // namespace ledgerlift
