#pragma once

#include "load/FieldCatalog.h"

namespace ledgerlift {

// What a field's cells hold, as the migration reads them.
enum class FieldValue {
    Text,    // read as it stands
    Number,  // a number (quantities, rates, percentages, amounts)
    YesNo,   // YES or NO
    DrCr     // Dr or Cr
};

// What goes in a field's column, for the person who fills in a workbook: the
// kind of value, the number format that shows it, and a note saying what it
// is, in what unit, and whether a row must have it.
struct FieldNote {
    FieldValue value;
    const char* numberFormat;  // "" for none
    const char* note;
};

// The note of the field in grid column gridCol (1 to the last) of the kind.
const FieldNote& NoteOf(SheetKind kind, int gridCol);

}  // namespace ledgerlift
