#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// A company's names that a template offers in drop-down lists.
struct TemplateLists {
    std::vector<std::string> categories;
    std::vector<std::string> accountGroups;
    // The names that no workbook can hold, left out of the lists: a sentence
    // for each, naming it and why.
    std::vector<std::string> leftOut;
};

// Writes a workbook to start from, as an .xlsx: worksheet 1 "Items" and
// worksheet 2 "Ledgers", each with the described captions in row 1 (bold,
// frozen, the columns wide enough), a note on each caption saying what goes
// there, drop-down lists of YES/NO and Dr/Cr where those go, and number
// formats on the number columns. With a company's names, the category and
// account group columns offer them in drop-down lists that warn of another
// name but accept it; the names stand in a third, hidden worksheet "Lists".
// The file loads back as the described layout, and is read back before it
// takes its name. It appears whole or not at all (see AtomicFile). Throws
// FileError, naming the file and the reason, when it can't be written or
// read back.
void WriteTemplateWorkbook(const std::string& path, const TemplateLists& lists);

}  // namespace ledgerlift
