#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// The words of a column heading or of a field's name, as headings are
// compared: letters in lower case, split at blanks, punctuation and the
// joins of words written together ("OpeningBalance", "DrCr"); common
// abbreviations as their words ("Qty" is "quantity", "Incl." "inclusive");
// small words (of, the, in, ...) left out; and a unit or currency in
// brackets or at the end left out ("Rate (Rs)", "Opening Balance ₹",
// "Tax %"), unless it is all the heading says.
std::vector<std::string> HeadingWords(const std::string& heading);

// Whether every word of name is among the words of heading.
bool HoldsAllWords(const std::vector<std::string>& heading, const std::vector<std::string>& name);

}  // namespace ledgerlift
