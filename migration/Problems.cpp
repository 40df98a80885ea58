#include "migration/Problems.h"

#include <cstdlib>

namespace ledgerlift {
bool RowHasError(const RunTally::Row& row) {
    switch (row.outcome) {
        case RunTally::Outcome::Failed:
        case RunTally::Outcome::Partial:
            return true;
        case RunTally::Outcome::Skipped:
            // A row the stage never reached; "already there" is a warning.
            return row.error.rfind("Not migrated", 0) == 0;
        case RunTally::Outcome::Written:
        case RunTally::Outcome::Updated:
        case RunTally::Outcome::Completed:
        case RunTally::Outcome::Replaced:
        case RunTally::Outcome::Differs:  // left as it is: its warning says why
            break;
    }
    return false;
}

namespace {

// The kind of an error the row's own finding does not name.
std::string ErrorKindOf(const RunTally::Row& row) {
    return RunTally::NotReached(row) ? kind::NotReached : kind::Refused;
}

}  // namespace

const char* Problem::SeverityText(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::vector<Problem> ProblemsOf(const RunTally& tally) {
    std::vector<Problem> problems;
    for (const auto& row : tally.rows) {
        int sheetRow = std::atoi(row.sheetRow.c_str());
        if (RowHasError(row)) {
            const Finding& f = row.errorFinding;
            problems.push_back({row.sheet, sheetRow, row.key, Problem::Severity::Error, row.error,
                                f.kind.empty() ? ErrorKindOf(row) : f.kind, f.column, f.heading});
        }
        for (const Finding& warning : row.warnings) {
            problems.push_back({row.sheet, sheetRow, row.key, Problem::Severity::Warning,
                                warning.text, warning.kind, warning.column, warning.heading});
        }
    }
    return problems;
}

std::string ProblemText(const RunTally::Row& row) {
    std::string text = RowHasError(row) ? row.error : "";
    if (RowHasError(row)) {
        for (const Finding& other : row.otherErrors) {
            text += "\n" + other.text;
        }
    }
    for (const Finding& warning : row.warnings) {
        text += (text.empty() ? "" : "\n") + warning.text;
    }
    return text;
}

}  // namespace ledgerlift
