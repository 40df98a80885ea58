#include "migration/RunTally.h"

#include <tuple>

#include "base/TextRules.h"
#include "ui/Grid.h"

namespace ledgerlift {

void RunTally::Counts::Add(Outcome outcome, int by) {
    switch (outcome) {
        case Outcome::Written:
            written += by;
            break;
        case Outcome::Updated:
            updated += by;
            break;
        case Outcome::Partial:
            partial += by;
            break;
        case Outcome::Skipped:
            skipped += by;
            break;
        case Outcome::Failed:
            failed += by;
            break;
        case Outcome::Completed:
            completed += by;
            break;
        case Outcome::Replaced:
            replaced += by;
            break;
        case Outcome::Differs:
            differs += by;
            break;
    }
}

void RunTally::Clear() {
    outcome = RunOutcome::NotStarted;
    categories = {};
    items = {};
    ledgers = {};
    rows.clear();
    itemRowsNotRead = 0;
    ledgerRowsNotRead = 0;
    pendingFrom_ = 0;
    baseline = {};
    reconcileDifferences = 0;
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

void RunTally::AddPosting(Counts& counts) {
    ++counts.postings;
    ++counts.pendingPostings_;
}

RunTally::Counts& RunTally::CountsOf(const std::string& sheet) {
    return sheet == "ledgers" ? ledgers : items;
}

void RunTally::ConfirmPending() {
    pendingFrom_ = rows.size();
    items.pendingPostings_ = 0;
    ledgers.pendingPostings_ = 0;
}

void RunTally::FailPending(const std::string& reason, const std::string& step) {
    for (std::size_t i = pendingFrom_; i < rows.size(); ++i) {
        Row& row = rows[i];
        if (row.outcome == Outcome::Skipped || row.outcome == Outcome::Failed ||
            row.outcome == Outcome::Differs) {
            continue;  // nothing of these was written
        }
        Counts& counts = CountsOf(row.sheet);
        counts.Add(row.outcome, -1);
        counts.Add(Outcome::Failed);
        row.outcome = Outcome::Failed;
        row.id.clear();
        row.posting = {};
        row.error = reason;
        row.step = step;
    }
    for (Counts* counts : {&items, &ledgers}) {
        counts->postings -= counts->pendingPostings_;
    }
    ConfirmPending();
}

bool RunTally::AllWritten() const {
    for (const Counts* c : {&categories, &items, &ledgers}) {
        if (c->failed > 0 || c->partial > 0) {
            return false;
        }
    }
    return items.skipped == 0 && ledgers.skipped == 0 && itemRowsNotRead == 0 &&
           ledgerRowsNotRead == 0 && reconcileDifferences == 0;
}

bool RunTally::NothingLeft() const {
    for (const Counts* c : {&categories, &items, &ledgers}) {
        if (c->failed > 0 || c->partial > 0 || c->differs > 0) {
            return false;
        }
    }
    for (const Row& row : rows) {
        if (NotReached(row)) {
            return false;
        }
    }
    return itemRowsNotRead == 0 && ledgerRowsNotRead == 0 && reconcileDifferences == 0;
}

std::string RunTally::NothingLeftLine() const {
    int itemRows = 0;
    int ledgerRows = 0;
    for (const Row& row : rows) {
        ++(row.sheet == "items" ? itemRows : ledgerRows);
    }
    auto all = [](int n, const char* one, const char* many) {
        return (n == 1   ? std::string("the ") + one
                : n == 2 ? std::string("both ") + many
                         : "all " + std::to_string(n) + " " + many);
    };
    return "Nothing left to migrate: " + all(itemRows, "item", "items") + " and " +
           all(ledgerRows, "ledger", "ledgers") +
           " are in the company with their opening stock and balances.";
}

const char* RunTally::OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Written:
            return "written";
        case Outcome::Updated:
            return "updated";
        case Outcome::Partial:
            return "written in part";
        case Outcome::Skipped:
            return "skipped";
        case Outcome::Failed:
            return "failed";
        case Outcome::Completed:
            return "completed";
        case Outcome::Replaced:
            return "replaced";
        case Outcome::Differs:
            return "differs";
    }
    return "";
}

const char* RunTally::RowOutcomeText(const Row& row) {
    return NotReached(row) ? "not reached" : OutcomeText(row.outcome);
}

int RunTally::UnreachedRows(const std::string& sheet) const {
    int count = 0;
    for (const Row& row : rows) {
        count += row.sheet == sheet && NotReached(row) ? 1 : 0;
    }
    return count;
}

std::vector<std::string> RunTally::SummaryLines() const {
    auto n = [](int v) { return std::to_string(v); };
    // Rows the run never came to are counted apart from the rows it skipped
    // because they were already there.
    const int itemsUnreached = UnreachedRows("items");
    const int ledgersUnreached = UnreachedRows("ledgers");
    auto unreached = [&](int count) { return count > 0 ? ", " + n(count) + " not reached" : ""; };
    auto partial = [&](const Counts& c, const char* what) {
        return c.partial > 0 ? n(c.partial) + " written without their " + what + ", " : "";
    };
    auto more = [&](const Counts& c) {
        std::string text;
        for (auto [count, word] : {std::pair{c.completed, "completed"},
                                   {c.replaced, "replaced"},
                                   {c.differs, "differing"}}) {
            if (count > 0) {
                text += ", " + n(count) + " " + word;
            }
        }
        return text;
    };
    std::vector<std::string> lines{
        "Summary: categories " + n(categories.written) + " written, " + n(categories.skipped) +
            " already there, " + n(categories.failed) + " failed",
        "Summary: items " + n(items.written) + " written, " + n(items.updated) + " updated, " +
            partial(items, "opening stock") + n(items.skipped - itemsUnreached) + " skipped, " +
            n(items.failed) + " failed" + more(items) + unreached(itemsUnreached) + ", " +
            n(items.postings) + " stock postings",
        "Summary: ledgers " + n(ledgers.written) + " written, " +
            partial(ledgers, "opening balance") + n(ledgers.skipped - ledgersUnreached) +
            " skipped, " + n(ledgers.failed) + " failed" + more(ledgers) +
            unreached(ledgersUnreached) + ", " + n(ledgers.postings) + " vouchers posted",
    };
    for (auto [sheet, count] :
         {std::pair{"item", itemRowsNotRead}, {"ledger", ledgerRowsNotRead}}) {
        if (count > 0) {
            lines.push_back(std::string("Summary: ") + n(count) + " " + sheet +
                            " rows below worksheet row 65000 were not read");
        }
    }
    return lines;
}

bool RunTally::NotReached(const Row& row) {
    return row.outcome == Outcome::Skipped && row.error.rfind("Not migrated", 0) == 0;
}

std::vector<std::string> RunTally::SheetLines() const {
    std::vector<std::string> lines;
    for (auto [sheet, title, posting] : {std::tuple{"items", "item sheet", "opening stock"},
                                         {"ledgers", "ledger sheet", "opening balance"}}) {
        int all = 0, in = 0, partial = 0, there = 0, failed = 0, unreached = 0, completed = 0,
            replaced = 0, differs = 0;
        for (const Row& row : rows) {
            if (row.sheet != sheet) {
                continue;
            }
            ++all;
            switch (row.outcome) {
                case Outcome::Written:
                case Outcome::Updated:
                    ++in;
                    break;
                case Outcome::Partial:
                    ++partial;
                    break;
                case Outcome::Skipped:
                    ++(NotReached(row) ? unreached : there);
                    break;
                case Outcome::Failed:
                    ++failed;
                    break;
                case Outcome::Completed:
                    ++completed;
                    break;
                case Outcome::Replaced:
                    ++replaced;
                    break;
                case Outcome::Differs:
                    ++differs;
                    break;
            }
        }
        std::string line = "Summary: " + std::string(title) + ", ";
        if (all == 0) {
            lines.push_back(line + "no rows");
            continue;
        }
        line += std::to_string(in) + " of " + std::to_string(all) + " rows went in";
        if (in == all) {
            lines.push_back(line);
            continue;
        }
        std::string why;
        auto part = [&](int n, const std::string& what) {
            if (n > 0) {
                why += (why.empty() ? "" : ", ") + std::to_string(n) + " " + what;
            }
        };
        part(partial, std::string("written without their ") + posting);
        part(completed, std::string("already there, their ") + posting + " posted now");
        part(replaced, std::string("already there, their ") + posting + " replaced");
        part(there, "already there");
        part(differs, std::string("differing from the company"));
        part(failed, "failed");
        part(unreached, "not reached");
        lines.push_back(line + ", " + std::to_string(all - in) + " did not (" + why + ")");
    }
    return lines;
}

}  // namespace ledgerlift
