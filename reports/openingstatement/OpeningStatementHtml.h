#pragma once

#include <string>

#include "reports/openingstatement/OpeningStatementDocument.h"
#include "reports/openingstatement/Paper.h"

namespace ledgerlift {

// The statement as one self-contained HTML file (its style inside it, no
// script, nothing fetched), for a browser or a mail: every text escaped, the
// figures right-aligned, the tables' headings repeated on each printed page,
// printed on the paper given.
std::string OpeningStatementHtml(const OpeningStatementDocument& document, Paper paper);

// Text with &, <, >, " and ' written as HTML's character references.
std::string HtmlEscape(const std::string& text);

}  // namespace ledgerlift
