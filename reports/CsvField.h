#pragma once

#include <string>

namespace ledgerlift {

// A CSV field: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line end. For numbers and fixed words, which a spreadsheet
// should read as they are (a negative amount stays a number).
std::string CsvField(const std::string& text);

// A CSV field for free text that came from a workbook or a message (a code,
// a name, an error): one that starts with = + - @, a tab or a carriage return
// gets an apostrophe in front, so that a spreadsheet opening the file shows
// it as text instead of running it as a formula. Quoted as CsvField.
std::string CsvTextField(const std::string& text);

}  // namespace ledgerlift
