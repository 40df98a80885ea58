#pragma once

#include <string>

#include "migration/CellChecks.h"

namespace ledgerlift {

// One grid cell as a stage reads it, before anything is written: its text,
// its number when it is a number column, and what stands in the way of
// either. A step that uses a value that could not be read fails with the
// sentence kept here, which names the cell.
struct CellReading {
    std::string text;
    double number = 0;
    std::string textError;    // the text can't be stored (a NUL character)
    std::string numberError;  // too large a number to hold
    std::string warning;      // read, but not as the operator may think

    // The text, or the failure that it can't be stored.
    const std::string& Text() const;
    // The number, or the failure that it can't be held.
    double Number() const;
    // Fails when the text can't be stored.
    void RequireStorable() const;
};

// Reads a text cell of the row.
CellReading ReadTextCell(const RowPlace& place, int col);
// Reads a number cell of the row (Val), with a warning when it is not read
// whole or is no number at all.
CellReading ReadNumberCell(const RowPlace& place, int col);

}  // namespace ledgerlift
