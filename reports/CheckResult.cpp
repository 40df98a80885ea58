#include "reports/CheckResult.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

std::string N(int v) {
    return std::to_string(v);
}

// A sum that went past the largest number (quantities of 1E+308 added up)
// is said so; NumberText would refuse it, and with it the whole check.
constexpr const char* kBeyondNumbers = "too large to total";

std::string Quantity(double v) {
    return std::isfinite(v) ? NumberText(v) : kBeyondNumbers;
}

std::string Amount(double v) {
    if (!std::isfinite(v)) {
        return kBeyondNumbers;
    }
    try {
        return CurrencyText(v);
    } catch (const ConversionError&) {
        return NumberText(v);
    }
}

int RowsWith(const std::vector<Problem>& problems, bool errorsOnly) {
    std::set<std::pair<std::string, int>> rows;
    for (const auto& p : problems) {
        if (!errorsOnly || p.severity == Problem::Severity::Error) {
            rows.insert({p.sheet, p.row});
        }
    }
    return static_cast<int>(rows.size());
}

}  // namespace

int CheckResult::Errors() const {
    int n = 0;
    for (const auto& p : problems) {
        n += p.severity == Problem::Severity::Error;
    }
    return n;
}

int CheckResult::Warnings() const {
    return static_cast<int>(problems.size()) - Errors();
}

int CheckResult::RowsWithProblems() const {
    return RowsWith(problems, false);
}

int CheckResult::RowsWithErrors() const {
    return RowsWith(problems, true);
}

namespace {

// "Check: 3 errors: 2 numbers that are not numbers, 1 balance without a
// side": the problems of one severity counted by kind, in the order each
// kind first shows.
std::string KindsLine(const std::vector<Problem>& problems, Problem::Severity severity) {
    std::vector<std::pair<std::string, int>> kinds;
    int total = 0;
    for (const Problem& p : problems) {
        if (p.severity != severity) {
            continue;
        }
        ++total;
        auto it = std::find_if(kinds.begin(), kinds.end(),
                               [&](const auto& k) { return k.first == p.kind; });
        if (it == kinds.end()) {
            kinds.emplace_back(p.kind, 1);
        } else {
            ++it->second;
        }
    }
    if (total == 0) {
        return "";
    }
    bool errors = severity == Problem::Severity::Error;
    std::string line =
        "Check: " + N(total) + (errors ? " error" : " warning") + (total == 1 ? "" : "s") + ": ";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        line += (i ? ", " : "") + KindCount(kinds[i].first, kinds[i].second);
    }
    return line;
}

}  // namespace

std::vector<std::string> CheckResult::Lines(bool showsGrids) const {
    std::vector<std::string> lines;
    for (const std::string& warning : loadWarnings) {
        lines.push_back("Check: warning: " + warning);
    }
    std::vector<std::string> counts = {
        "Check: categories " + N(categoriesNew) + " new, " + N(categoriesExisting) +
            " already there",
        "Check: items " + N(itemRows) + " rows, " + N(itemsNew) + " new, " + N(itemsExisting) +
            " already there, " + N(itemsFailing) + " failing",
        "Check: opening stock " + N(totals.stockLines) + " lines, quantity " +
            Quantity(totals.quantity) + ", value " + Amount(totals.stockValue),
        "Check: ledgers " + N(ledgerRows) + " rows, " + N(ledgersNew) + " new, " +
            N(ledgersExisting) + " already there, " + N(ledgersFailing) + " failing",
        "Check: opening balances debit " + Amount(totals.debit) + ", credit " +
            Amount(totals.credit) + ", stock value " + Amount(totals.stockValue) + ", difference " +
            Amount(totals.Difference()),
        "Check: " + N(RowsWithProblems()) + " rows with problems (" + N(Errors()) + " errors, " +
            N(Warnings()) + " warnings)" + (showsGrids ? "; they are marked in the grids" : ""),
    };
    lines.insert(lines.end(), counts.begin(), counts.end());
    for (Problem::Severity severity : {Problem::Severity::Error, Problem::Severity::Warning}) {
        if (std::string line = KindsLine(problems, severity); !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

CheckResult CheckResultOf(const RunTally& tally) {
    CheckResult r;
    r.ran = true;
    r.categoriesNew = tally.categories.written;
    r.categoriesExisting = tally.categories.skipped;
    for (const auto& row : tally.rows) {
        bool item = row.sheet == "items";
        (item ? r.itemRows : r.ledgerRows) += 1;
        int& fresh = item ? r.itemsNew : r.ledgersNew;
        int& existing = item ? r.itemsExisting : r.ledgersExisting;
        int& failing = item ? r.itemsFailing : r.ledgersFailing;
        switch (row.outcome) {
            case RunTally::Outcome::Written:
                ++fresh;
                break;
            case RunTally::Outcome::Updated:
                ++existing;
                break;
            case RunTally::Outcome::Skipped:
                (row.error.rfind("Not migrated", 0) == 0 ? failing : existing) += 1;
                break;
            case RunTally::Outcome::Completed:
            case RunTally::Outcome::Replaced:
            case RunTally::Outcome::Differs:
                ++existing;
                break;
            case RunTally::Outcome::Partial:
            case RunTally::Outcome::Failed:
                ++failing;
                break;
        }
    }
    r.totals = ExpectedTotals(tally);
    r.problems = ProblemsOf(tally);
    return r;
}

}  // namespace ledgerlift
