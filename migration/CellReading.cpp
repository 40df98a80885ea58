#include "migration/CellReading.h"

#include "base/TextRules.h"
#include "ui/Grid.h"

namespace ledgerlift {

const std::string& CellReading::Text() const {
    RequireStorable();
    return text;
}

double CellReading::Number() const {
    if (!numberError.empty()) {
        throw ConversionError(numberError);
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

CellReading ReadNumberCell(const RowPlace& place, int col) {
    CellReading cell = ReadTextCell(place, col);
    try {
        cell.number = CellNumber(place, col);
    } catch (const ConversionError& error) {
        cell.numberError = error.what();
    }
    cell.warning = NumberWarning(place, col);
    return cell;
}

}  // namespace ledgerlift
