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
            break;
    }
    return false;
}

const char* Problem::SeverityText(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::vector<Problem> ProblemsOf(const RunTally& tally) {
    std::vector<Problem> problems;
    for (const auto& row : tally.rows) {
        int sheetRow = std::atoi(row.sheetRow.c_str());
        if (RowHasError(row)) {
            problems.push_back({row.sheet, sheetRow, row.key, Problem::Severity::Error, row.error});
        }
        for (const auto& warning : row.warnings) {
            problems.push_back({row.sheet, sheetRow, row.key, Problem::Severity::Warning, warning});
        }
    }
    return problems;
}

std::string ProblemText(const RunTally::Row& row) {
    std::string text = RowHasError(row) ? row.error : "";
    for (const auto& warning : row.warnings) {
        text += (text.empty() ? "" : "\n") + warning;
    }
    return text;
}

}  // namespace ledgerlift
