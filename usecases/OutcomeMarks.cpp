#include "usecases/OutcomeMarks.h"

#include <unordered_map>
#include <utility>

namespace ledgerlift {
namespace {

std::string IdText(const RunTally::Row& row) {
    if (row.id.empty()) {
        return "";
    }
    return std::string(row.sheet == "ledgers" ? " (LID " : " (ItemID ") + row.id + ")";
}

std::string OutcomeText(const RunTally::Row& row, MarkFor what) {
    bool run = what == MarkFor::Run;
    switch (row.outcome) {
        case RunTally::Outcome::Written:
            return (run ? "Written" : "Would be written") + IdText(row) + ".";
        case RunTally::Outcome::Updated:
            return std::string(run ? "Updated: it replaced" : "Would replace") +
                   " the item with this code" + IdText(row) + ".";
        case RunTally::Outcome::Completed:
            return std::string(run ? "Completed: it was already there, and its opening is posted "
                                     "now"
                                   : "Would be completed: it is already there, and its opening "
                                     "would be posted now") +
                   ".";
        case RunTally::Outcome::Replaced:
            return std::string(run ? "Replaced: its opening was replaced by the workbook's"
                                   : "Its opening would be replaced by the workbook's") +
                   ".";
        case RunTally::Outcome::Differs:
            return std::string(run ? "Left as it is" : "Would be left as it is") +
                   ": the company holds something else.";
        case RunTally::Outcome::Partial:
        case RunTally::Outcome::Skipped:
        case RunTally::Outcome::Failed:
            break;
    }
    return row.error;
}

}  // namespace

Grid::RowMark OutcomeMark(const RunTally::Row& row, MarkFor what) {
    Grid::RowMark mark;
    mark.tip = OutcomeText(row, what);
    for (const Finding& finding : row.warnings) {
        const std::string& warning = finding.text;
        mark.tip += (mark.tip.empty() ? "" : "\n") + warning;
    }
    switch (row.outcome) {
        case RunTally::Outcome::Written:
        case RunTally::Outcome::Updated:
            mark.color = row.warnings.empty() ? kWentInRow : kWentInWithNoteRow;
            mark.wentIn = true;
            break;
        case RunTally::Outcome::Skipped:
            mark.color = RunTally::NotReached(row) ? kNotReachedRow : kAlreadyThereRow;
            break;
        case RunTally::Outcome::Completed:
        case RunTally::Outcome::Replaced:
            mark.color = kCompletedRow;
            mark.wentIn = true;
            break;
        case RunTally::Outcome::Differs:
            mark.color = kDiffersRow;
            break;
        case RunTally::Outcome::Partial:
        case RunTally::Outcome::Failed:
            mark.color = kFailedRow;
            break;
    }
    return mark;
}

void MarkOutcomes(FormControls& form, const RunTally& tally, MarkFor what) {
    for (auto [grid, sheet] : {std::pair{&form.itemGrid, "items"}, {&form.ledgerGrid, "ledgers"}}) {
        grid->ClearRowMarks();
        // The data rows: below the header, above the empty row a load ends with.
        int last = grid->Rows() - 2;
        std::unordered_map<std::string, int> rowOf;
        for (int r = 1; r <= last; ++r) {
            rowOf.emplace(std::string(grid->TextMatrix(r, 0)), r);
        }
        for (const RunTally::Row& row : tally.rows) {
            auto at = rowOf.find(row.sheetRow);
            if (row.sheet != sheet || at == rowOf.end()) {
                continue;
            }
            Grid::RowMark mark = OutcomeMark(row, what);
            grid->SetRowMark(at->second, mark.color, std::move(mark.tip), mark.wentIn);
        }
        if (what != MarkFor::Run) {
            continue;
        }
        for (int r = 1; r <= last; ++r) {
            if (!grid->FindRowMark(r)) {
                grid->SetRowMark(r, kNotReachedRow,
                                 "Not migrated: the run ended before this row was reached.");
            }
        }
    }
}

}  // namespace ledgerlift
