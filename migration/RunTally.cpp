#include "migration/RunTally.h"

#include "base/TextRules.h"
#include "ui/Grid.h"

namespace ledgerlift {

void RunTally::Counts::Add(Outcome outcome) {
    switch (outcome) {
        case Outcome::Written:
            ++written;
            break;
        case Outcome::Updated:
            ++updated;
            break;
        case Outcome::Skipped:
            ++skipped;
            break;
        case Outcome::Failed:
            ++failed;
            break;
    }
}

void RunTally::Clear() {
    outcome = RunOutcome::NotStarted;
    categories = {};
    items = {};
    ledgers = {};
    rows.clear();
}

void RunTally::Record(Counts& counts, Row row) {
    counts.Add(row.outcome);
    rows.push_back(std::move(row));
}

void RunTally::RecordUnreached(Counts& counts, const char* sheet, const Grid& grid, int from,
                               int to, int keyCol, const std::string& reason) {
    for (int r = from; r <= to; ++r) {
        Record(counts, Row{sheet, std::string(grid.TextMatrix(r, 0)),
                           Trim(std::string(grid.TextMatrix(r, keyCol))), Outcome::Skipped, "",
                           reason, ""});
    }
}

bool RunTally::AllWritten() const {
    for (const Counts* c : {&categories, &items, &ledgers}) {
        if (c->failed > 0) {
            return false;
        }
    }
    return items.skipped == 0 && ledgers.skipped == 0;
}

const char* RunTally::OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Written:
            return "written";
        case Outcome::Updated:
            return "updated";
        case Outcome::Skipped:
            return "skipped";
        case Outcome::Failed:
            return "failed";
    }
    return "";
}

std::vector<std::string> RunTally::SummaryLines() const {
    auto n = [](int v) { return std::to_string(v); };
    return {
        "Summary: categories " + n(categories.written) + " written, " + n(categories.skipped) +
            " already there, " + n(categories.failed) + " failed",
        "Summary: items " + n(items.written) + " written, " + n(items.updated) + " updated, " +
            n(items.skipped) + " skipped, " + n(items.failed) + " failed, " + n(items.postings) +
            " stock postings",
        "Summary: ledgers " + n(ledgers.written) + " written, " + n(ledgers.skipped) +
            " skipped, " + n(ledgers.failed) + " failed, " + n(ledgers.postings) +
            " vouchers posted",
    };
}

}  // namespace ledgerlift
