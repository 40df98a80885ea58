#pragma once

#include <optional>
#include <string>
#include <vector>

#include "load/FieldCatalog.h"

namespace ledgerlift {

// How a field's column was found.
enum class FoundBy {
    NotFound,         // the workbook has no column for it: it reads as empty
    DescribedLayout,  // every recognised heading stands in its described column
    Caption,          // its heading holds the words of the field's caption
    CommonName,       // ... or of a name bookkeepers commonly give it
    Position,         // no heading was recognised: columns A onwards by position
    Chosen            // the operator chose its column (see ColumnChoice)
};
const char* FoundByText(FoundBy how);

// What one heading claims: the field (its grid column) and how.
struct HeadingClaim {
    int gridCol = 0;
    FoundBy how = FoundBy::NotFound;
    int words = 0;  // the words of the name that matched
};

// The field a heading claims on a sheet of the kind: the field one of whose
// names (the caption or a common name) has all its words in the heading,
// the one with the most words when several do. A heading that two fields
// match equally well, or that a name meaning several fields matches better,
// claims nothing.
std::optional<HeadingClaim> ClaimOf(const std::string& heading, SheetKind kind);
// The same for a heading already split into its words (see HeadingWords).
std::optional<HeadingClaim> ClaimOfWords(const std::vector<std::string>& words, SheetKind kind);

// Where each field of a sheet's grid is read from.
struct FieldColumn {
    int column = 0;  // the workbook column (1 is A); 0 when the workbook has none
    std::string heading;
    FoundBy how = FoundBy::NotFound;
};

struct ColumnMap {
    SheetKind kind = SheetKind::Items;
    std::vector<FieldColumn> fields;    // by grid column; element 0 unused
    std::vector<int> unused;            // columns with a heading that feed no field
    std::vector<std::string> headings;  // the heading row by column (element 0 unused)
    bool recognised = false;            // some heading claimed a field
    bool described = false;             // read by the described positions
    // Why the sheet cannot be read this way ("" when it can): a required
    // field that nothing claims, or two columns that claim one field.
    std::string problem;

    int ColumnOf(int gridCol) const { return fields[static_cast<std::size_t>(gridCol)].column; }
};

// Maps a sheet's columns to the fields of its kind from its headings
// (element 0 unused, element c the heading of column c):
//  - when every recognised heading stands in its own described column, or
//    no heading is recognised at all, every field is read from its described
//    column;
//  - otherwise each field from the column whose heading claims it; a
//    described caption in its described column wins over another claim.
ColumnMap MapColumns(const std::vector<std::string>& headings, SheetKind kind);

// Every field from its described column, the headings not recognised.
ColumnMap ColumnsByPosition(const std::vector<std::string>& headings, SheetKind kind);

// How many fields of the kind the headings claim (a row that claims two or
// more reads as a heading row).
int FieldsClaimed(const std::vector<std::string>& headings, SheetKind kind);
// The same for headings already split into their words, so that one split
// serves both kinds.
int FieldsClaimedByWords(const std::vector<std::vector<std::string>>& headings, SheetKind kind);

}  // namespace ledgerlift
