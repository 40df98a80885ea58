#pragma once

#include <string>
#include <vector>

#include "base/DigitGrouping.h"
#include "reports/openingstatement/OpeningStatement.h"

namespace ledgerlift {

// A statement as text laid out in blocks, the same for every file format:
// the PDF and the HTML draw the very same words and figures.
struct DocColumn {
    std::string heading;
    bool numeric = false;  // right-aligned
    double weight = 1;     // its share of the width
};

struct DocRow {
    enum class Kind { Line, Group, Total, GrandTotal };
    Kind kind = Kind::Line;
    std::vector<std::string> cells;  // one per column; a group's name in the first
};

struct DocTable {
    std::vector<DocColumn> columns;
    std::vector<DocRow> rows;
};

struct DocBlock {
    // A note is set smaller; an emphasis, in bold.
    enum class Kind { Heading, Paragraph, Emphasis, Note, Table };
    Kind kind = Kind::Paragraph;
    std::string text;  // heading, paragraph, emphasis or note
    DocTable table;
    bool newPage = false;  // starts on a page of its own
};

struct OpeningStatementDocument {
    std::string title;
    std::string footer;  // beside the page numbers
    std::vector<DocBlock> blocks;
};

// The statement's words and figures: its heading (the company, the dates,
// the last run and the backup that undoes it), the opening position with
// the last check's figures and the reconciliation beside it, the opening
// stock by category, the ledgers by group, and an appendix with a line per
// item. Every text is made printable (see PrintableText).
OpeningStatementDocument BuildOpeningStatementDocument(const OpeningStatement& statement,
                                                       DigitGrouping grouping);

// The sentence under the totals.
inline constexpr const char* kDifferenceLabel = "Opening difference to be posted to capital";

}  // namespace ledgerlift
