#include "migration/CellChecks.h"

#include <cmath>

#include "base/TextRules.h"
#include "ui/Grid.h"

namespace ledgerlift {

std::string RowPlace::Name() const {
    std::string key;
    for (char c : Trim(std::string(grid.TextMatrix(row, keyCol)))) {
        key += c == '\0' ? std::string("\\0") : std::string(1, c);  // a NUL would cut the sentence
    }
    std::string name = std::string(sheet) + " row " + std::string(grid.TextMatrix(row, 0));
    // Rows of several sheets in one grid are told apart by their sheet.
    const SheetOrigin* origin = grid.origin.SheetOf(row);
    if (origin && grid.origin.sheets.size() > 1 && !origin->name.empty()) {
        name += " (" + origin->name + ")";
    }
    return key.empty() ? name : name + ", " + key;
}

std::string RowPlace::ColumnLetter(int col) const {
    // The workbook's own column, as the load found it.
    const SheetOrigin* origin = grid.origin.SheetOf(row);
    std::size_t c = static_cast<std::size_t>(col);
    if (origin && c < origin->column.size() && origin->column[c] > 0) {
        return ColumnLetters(origin->column[c]);
    }
    return ColumnLetters(col);
}

std::string RowPlace::ColumnHeading(int col) const {
    const SheetOrigin* origin = grid.origin.SheetOf(row);
    std::size_t c = static_cast<std::size_t>(col);
    if (origin && c < origin->column.size() && origin->column[c] > 0) {
        return Trim(origin->heading[c]);
    }
    return Trim(std::string(grid.TextMatrix(0, col)));
}

std::string RowPlace::Column(int col) const {
    std::string heading = ColumnHeading(col);
    return "column " + ColumnLetter(col) + (heading.empty() ? "" : " (" + heading + ")");
}

double CellNumber(const RowPlace& place, int col) {
    try {
        return Val(std::string(place.grid.TextMatrix(place.row, col)));
    } catch (const ConversionError& error) {
        throw ConversionError(place.Name() + ", " + place.Column(col) + ": " + error.what());
    }
}

std::string NumberWarning(const RowPlace& place, int col) {
    std::string text(place.grid.TextMatrix(place.row, col));
    if (TrimBlanks(text).empty()) {
        return "";
    }
    NumberReading reading;
    try {
        reading = ReadNumber(text);
    } catch (const ConversionError&) {
        return "";  // too large to read: the row failed on it with its own sentence
    }
    if (reading.whole) {
        return "";
    }
    if (!reading.found) {
        return place.Column(col) + " holds \"" + text +
               "\", which is not a number; it is read as 0.";
    }
    return place.Column(col) + " holds \"" + text + "\", which is not read whole; it is read as " +
           NumberText(reading.value) + ".";
}

void RequireStorableText(const RowPlace& place, int col) {
    if (place.grid.TextMatrix(place.row, col).find('\0') != std::string::npos) {
        throw ConversionError(place.Name() + ", " + place.Column(col) +
                              ": the text holds a NUL character, which cannot be stored. "
                              "Remove it in the workbook and load it again.");
    }
}

double FiniteProduct(const RowPlace& place, int colA, double a, int colB, double b) {
    double product = a * b;
    if (!std::isfinite(product)) {
        throw ConversionError(place.Name() + ": " + NumberText(a) + " (" + place.Column(colA) +
                              ") times " + NumberText(b) + " (" + place.Column(colB) +
                              ") is too large a number to store.");
    }
    return product;
}

}  // namespace ledgerlift
