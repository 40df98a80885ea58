#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// How a row's fields stand to those of the heading line (the first row).
enum class RowFit {
    Fits,
    TooMany,  // a field that holds something lies beyond the last heading
    TooFew,   // a heading that names something has no field in the row
};

// A row fits when it has as many fields as the heading line, and also:
// - a line that holds nothing (a blank row);
// - a row with empty fields beyond the last heading: programs that end every
//   field with a delimiter write them, and they hold nothing;
// - a row without the fields under empty headings at the end of the heading
//   line: a spreadsheet program pads the heading line to the width of its
//   widest row, but may leave a row's empty last fields out.
// Anything else would put a field under another column's heading.
RowFit FitUnderHeadings(const std::vector<std::string>& headings,
                        const std::vector<std::string>& row);

}  // namespace ledgerlift
