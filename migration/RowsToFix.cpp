#include "migration/RowsToFix.h"

#include <algorithm>

#include "migration/Problems.h"

namespace ledgerlift {

const char* const kDiffering = "differing from the company";

std::vector<RowToFix> RowsToFix(const RunTally& tally) {
    std::vector<RowToFix> rows;
    for (const RunTally::Row& row : tally.rows) {
        // What needs fixing: rows that failed, were written in part, were not
        // reached, or differ from what the company holds. A row that went in,
        // was completed or replaced, or was already there needs nothing more,
        // whatever its warnings say.
        if (RowHasError(row) || row.outcome == RunTally::Outcome::Differs) {
            std::string reason = ProblemText(row);
            if (reason.empty()) {
                reason = std::string("Not written (") + RunTally::RowOutcomeText(row) +
                         (row.step.empty() ? "" : ", at the step \"" + row.step + "\"") + ").";
            }
            const char* cause = row.outcome == RunTally::Outcome::Differs   ? kDiffering
                                : row.outcome == RunTally::Outcome::Partial ? "written in part"
                                : row.outcome == RunTally::Outcome::Failed  ? "failed"
                                                                            : "not reached";
            rows.push_back({row.sheet, row.sheetRow, reason, cause});
        }
    }
    return rows;
}

std::string CausesText(const std::vector<RowToFix>& rows) {
    std::string text;
    for (const char* cause : {"failed", "written in part", "not reached", kDiffering}) {
        auto n = std::count_if(rows.begin(), rows.end(),
                               [&](const RowToFix& r) { return r.cause == cause; });
        if (n > 0) {
            text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + cause;
        }
    }
    return text;
}

}  // namespace ledgerlift
