#pragma once

#include <string>
#include <vector>

#include "migration/RunTally.h"

namespace ledgerlift {

// One problem of one grid row, as a check or a run found it.
struct Problem {
    enum class Severity {
        Error,   // the row is not written, or only in part
        Warning  // the row is written, but not as the operator may think
    };
    std::string sheet;  // "items" or "ledgers"
    int row = 0;        // the worksheet row
    std::string key;    // the item code or the ledger name
    Severity severity = Severity::Warning;
    std::string text;
    std::string kind;     // see Finding: one word of a fixed set
    std::string column;   // the workbook's column letter, "" for the whole row
    std::string heading;  // that column's heading

    static const char* SeverityText(Severity severity);
};

// The problems of every row of the tally, row by row: first its error (a
// row that failed, was written in part or was never reached), then its
// warnings.
std::vector<Problem> ProblemsOf(const RunTally& tally);

// Whether the row is not written, or only in part (or was never reached).
bool RowHasError(const RunTally::Row& row);

// The sentence to show for a row: its problems, one per line.
std::string ProblemText(const RunTally::Row& row);

}  // namespace ledgerlift
