#pragma once

#include <string>

#include "base/StrictNumber.h"
#include "migration/CellChecks.h"
#include "migration/Finding.h"

namespace ledgerlift {

// One grid cell as a stage reads it, before anything is written: its text,
// and for a number column its number read strictly (see StrictNumber), or
// the error that refuses the row. A text that can't be stored keeps the
// sentence the step that uses it fails with.
struct CellReading {
    std::string text;
    double number = 0;
    std::string textError;  // the text can't be stored (a NUL character)
    // A number cell that holds no number (its text is empty when it does):
    // the row is not written.
    Finding error;
    // The side word an amount carried ("1,500.00 Cr.").
    StrictNumber::SideWord side = StrictNumber::SideWord::None;

    bool HasError() const { return !error.text.empty(); }
    // The text, or the failure that it can't be stored.
    const std::string& Text() const;
    // The number (0 for an empty cell), or the failure that it is none.
    double Number() const;
    // Fails when the text can't be stored.
    void RequireStorable() const;
};

// Reads a text cell of the row.
CellReading ReadTextCell(const RowPlace& place, int col);
// Reads a number cell of the row strictly, by the rules given.
CellReading ReadNumberCell(const RowPlace& place, int col, StrictNumberRules rules = {});

}  // namespace ledgerlift
