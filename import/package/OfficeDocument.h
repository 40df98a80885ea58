#pragma once

#include <string>

#include "import/package/ZipPackage.h"

namespace ledgerlift {

// The main part of an Office Open XML package and what it is, found as the
// package says: the officeDocument relationship of _rels/.rels, its content
// type from [Content_Types].xml. A package without them is looked at for
// xl/workbook.xml or xl/workbook.bin by name.
struct OfficeDocument {
    enum class Kind {
        None,            // no main part at all
        Workbook,        // .xlsx, .xlsm, .xltx, .xltm, .xlam: XML worksheets
        BinaryWorkbook,  // .xlsb
        OtherDocument,   // a text document, a presentation, ...
    };
    Kind kind = Kind::None;
    std::string part;

    static OfficeDocument Find(ZipPackage& zip);
};

}  // namespace ledgerlift
