#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/core/PartReader.h"
#include "import/core/SharedStrings.h"

namespace ledgerlift {

// The small parts of an .xlsx workbook, read before its worksheets.

// Text as .xlsx writes it, with characters that XML can't carry escaped as
// _xHHHH_ (_x000D_ is a carriage return; _x005F_ escapes the underscore of a
// literal "_x...").
std::string DecodeXlsxText(std::string_view text);

// xl/workbook.xml: the sheets in the workbook's order, each with the
// relationship that names its part, and the date system.
struct XlsxWorkbookPart {
    struct Sheet {
        std::string name;
        std::string relationshipId;
    };
    std::vector<Sheet> sheets;
    bool date1904 = false;

    void Parse(PartReader& part);
};

// The shared strings: rich-text runs joined, phonetic runs (rPh) left out.
// Throws WorkbookError, refusing the workbook, when they would take more
// than limit (SharedStrings::Bytes).
SharedStrings ParseSharedStrings(PartReader& part, std::uint64_t limit = kMaxHeldText);

// The styles part, as far as the import needs it: which cell formats (the s
// attribute of a cell, an index into cellXfs) show a number as a date.
class XlsxStyles {
  public:
    void Parse(PartReader& part);
    // False for an index the styles don't have: a workbook without a styles
    // part still has its default, General.
    bool IsDate(std::uint32_t xf) const { return xf < isDate_.size() && isDate_[xf]; }
    bool IsPercent(std::uint32_t xf) const { return xf < isPercent_.size() && isPercent_[xf]; }

  private:
    std::vector<bool> isDate_;
    std::vector<bool> isPercent_;
};

}  // namespace ledgerlift
