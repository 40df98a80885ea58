#pragma once

#include <string>
#include <vector>

#include "export/FailedRowsWorkbook.h"
#include "migration/Problems.h"
#include "migration/Reconciliation.h"

namespace ledgerlift {

// What a run of the current grids into the chosen company would do, found by
// running it inside a transaction that is undone ("Check Data", and the
// command line's check).
struct CheckResult {
    bool ran = false;
    std::string workbook;
    std::string company;
    std::string date;  // yyyy-mm-dd
    int categoriesNew = 0;
    int categoriesExisting = 0;
    int itemRows = 0;
    int itemsNew = 0;
    int itemsExisting = 0;  // already there (left alone), or replaced in update mode
    int itemsFailing = 0;
    int ledgerRows = 0;
    int ledgersNew = 0;
    int ledgersExisting = 0;
    int ledgersFailing = 0;
    OpeningTotals totals;
    // What the load said of whole sheets (headings not recognised, ...).
    std::vector<std::string> loadWarnings;
    std::vector<Problem> problems;
    // The rows that failed or have problems, for the failed-rows workbook.
    std::vector<RowToFix> rowsToFix;

    int Errors() const;
    int Warnings() const;
    // Rows with at least one problem, and those with an error.
    int RowsWithProblems() const;
    int RowsWithErrors() const;

    // The counts and totals as status lines; where the grids are shown, the
    // last says the rows are marked there.
    std::vector<std::string> Lines(bool showsGrids = true) const;
};

// Counts, totals and problems from the tally of a checked run.
CheckResult CheckResultOf(const RunTally& tally);

}  // namespace ledgerlift
