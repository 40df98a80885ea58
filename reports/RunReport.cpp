#include "reports/RunReport.h"

#include "base/AtomicFile.h"
#include "reports/CsvField.h"

namespace ledgerlift {
namespace {

const char* const kHeader = "sheet,row,code or name,outcome,id,error,step,problems";
// The column a dry run's report adds, and what it holds on every line.
const char* const kDryRunColumn = ",run";
const char* const kDryRunCell = ",dry run";

// What a dry run's row would have done in a real run: nothing of it is in the
// company, so "written" would be untrue.
const char* DryRunOutcomeText(RunTally::Outcome outcome) {
    switch (outcome) {
        case RunTally::Outcome::Written:
            return "would be written";
        case RunTally::Outcome::Updated:
            return "would be updated";
        case RunTally::Outcome::Partial:
            return "would be written in part";
        case RunTally::Outcome::Skipped:
            return "would be skipped";
        case RunTally::Outcome::Failed:
            return "would fail";
        case RunTally::Outcome::Completed:
            return "would be completed";
        case RunTally::Outcome::Replaced:
            return "would be replaced";
        case RunTally::Outcome::Differs:
            return "would differ";
    }
    return "";
}

std::string RowLine(const RunTally::Row& row, bool dryRun) {
    std::string problems;
    for (const Finding& warning : row.warnings) {
        problems += (problems.empty() ? "" : " ") + warning.text;
    }
    // The worksheet row and the id are numbers this program made and stay
    // numbers; every text column may hold what the workbook said, so none of
    // it may reach a spreadsheet as a formula. A dry run's ids were undone
    // with everything else, so it gives none.
    return row.sheet + ',' + CsvField(row.sheetRow) + ',' + CsvTextField(row.key) + ',' +
           (RunTally::NotReached(row) ? "not reached"
            : dryRun                  ? DryRunOutcomeText(row.outcome)
                                      : RunTally::OutcomeText(row.outcome)) +
           ',' + (dryRun ? "" : row.id) + ',' + CsvTextField(row.error) + ',' +
           CsvTextField(row.step) + ',' + CsvTextField(problems) + (dryRun ? kDryRunCell : "") +
           "\r\n";
}

}  // namespace

std::string RunReportText(const RunTally& tally, bool dryRun) {
    std::string out = std::string(kHeader) + (dryRun ? kDryRunColumn : "") + "\r\n";
    for (const auto& row : tally.rows) {
        out += RowLine(row, dryRun);
    }
    for (auto [sheet, count] :
         {std::pair{"items", tally.itemRowsNotRead}, {"ledgers", tally.ledgerRowsNotRead}}) {
        if (count > 0) {
            out += std::string(sheet) + ",65001-,,not read,," + std::to_string(count) +
                   " worksheet rows below row 65000 were not read,," + (dryRun ? kDryRunCell : "") +
                   "\r\n";
        }
    }
    return out;
}

void WriteRunReport(const std::string& path, const RunTally& tally, bool dryRun,
                    const OutputGuard& guard) {
    guard.Require("The report", path);
    // A full disk or a kill leaves the older report of that name whole.
    WriteFileAtomically(path, RunReportText(tally, dryRun));
}

}  // namespace ledgerlift
