#pragma once

#include <string>
#include <string_view>

namespace ledgerlift {

// The delimiters a text export is read with, in the order of preference.
inline constexpr char kDelimiters[] = {',', ';', '\t', '|'};

// The delimiter of a text export (UTF-8): of comma, semicolon, tab and pipe,
// the one that splits the heading line into more than one field and each of
// the next few rows into fields that fit under it (RowFit). Of several, the
// one under which more of those rows fit, then the one that splits the
// heading line into more fields, then the first in kDelimiters. A file whose
// heading line no delimiter splits has one column: comma.
char ChooseDelimiter(const std::string& path, std::string_view text);

}  // namespace ledgerlift
