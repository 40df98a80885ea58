#include "migration/CellReading.h"

#include "base/TextRules.h"
#include "ui/Grid.h"

namespace ledgerlift {

const std::string& CellReading::Text() const {
    RequireStorable();
    return text;
}

double CellReading::Number() const {
    if (HasError()) {
        throw ConversionError(error.text);
    }
    return number;
}

void CellReading::RequireStorable() const {
    if (!textError.empty()) {
        throw ConversionError(textError);
    }
}

CellReading ReadTextCell(const RowPlace& place, int col) {
    CellReading cell;
    cell.text = std::string(place.grid.TextMatrix(place.row, col));
    try {
        RequireStorableText(place, col);
    } catch (const ConversionError& error) {
        cell.textError = error.what();
    }
    return cell;
}

namespace {

// Why a cell is no number, and of which kind.
Finding NumberError(const RowPlace& place, int col, const std::string& text,
                    StrictNumber::Verdict verdict) {
    // Appended rather than "\"" + text: GCC 12 at -O3 warns falsely
    // (-Wrestrict) on a literal prepended to a temporary string.
    std::string quoted(1, '"');
    quoted += Trim(text);
    quoted += '"';
    std::string why;
    const char* kindWord = kind::NotANumber;
    switch (verdict) {
        case StrictNumber::Verdict::Date:
            why = quoted + " is a date, not a number.";
            kindWord = kind::DateInNumber;
            break;
        case StrictNumber::Verdict::Percent:
            why = quoted + " is a percentage; only the tax columns take one.";
            kindWord = kind::PercentInNumber;
            break;
        case StrictNumber::Verdict::TooLarge:
            why = quoted + " is too large a number to store.";
            kindWord = kind::TooLarge;
            break;
        default:
            why = quoted + " is not a number.";
            break;
    }
    return {place.Name() + ", " + place.Column(col) + ": " + why, kindWord, place.ColumnLetter(col),
            place.ColumnHeading(col)};
}

}  // namespace

CellReading ReadNumberCell(const RowPlace& place, int col, StrictNumberRules rules) {
    CellReading cell = ReadTextCell(place, col);
    StrictNumber reading = ReadStrictNumber(cell.text, rules);
    cell.side = reading.side;
    if (reading.Usable()) {
        cell.number = reading.value;
    } else {
        cell.error = NumberError(place, col, cell.text, reading.verdict);
    }
    return cell;
}

}  // namespace ledgerlift
