#pragma once

#include <string>
#include <vector>

#include "import/core/PartReader.h"
#include "import/core/StoredWorkbook.h"
#include "import/ods/OdsStyles.h"

namespace ledgerlift {

// Reads the content part (content.xml) of an .ods workbook: its worksheets
// are the table:table elements, in document order.
//
// A cell's value is its value type's attribute: float and currency give a
// number (office:value), and so does percentage, read as a percentage (as is
// a float in a percentage style, see OdsStyles); date a date serial
// (office:date-value, with or without a time); time a time of day
// (office:time-value); boolean a boolean; string its text, from
// office:string-value or else its text:p paragraphs joined by a line feed,
// with text:s, text:tab, text:line-break, text:span and text:a expanded and
// notes and drawings left out. In a paragraph a run of white space reads as
// one space, none at its start. A formula's cached value is its value; an
// error result (calcext:value-type="error") reads as the error text of the
// .xls reader. A formula without a cached value is counted.
//
// Repeated rows and columns are expanded logically: empty repeats cost
// nothing, and the cells of a repeated row are stored once for all of them.
class OdsContent {
  public:
    // styles: the percentage styles of styles.xml; those of the part's own
    // automatic styles are added as they come.
    static std::vector<StoredSheet> Read(PartReader& part, OdsStyles styles = {});

    // The .xls reader's text for an error result shown as text: one of the
    // seven error values, or Err:nnn codes as their nearest error value.
    static std::string ErrorText(const std::string& shown);
};

}  // namespace ledgerlift
