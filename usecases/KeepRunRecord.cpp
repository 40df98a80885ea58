#include "usecases/KeepRunRecord.h"

#include <ctime>
#include <filesystem>

#include "company/CompanyBackups.h"
#include "company/RunRecords.h"
#include "reports/CheckResult.h"

namespace ledgerlift {
namespace {

std::string Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string OutcomeText(const RunTally& tally, const std::string& failure) {
    if (!failure.empty()) {
        return "stopped by a failure";
    }
    return tally.outcome == RunTally::RunOutcome::Completed ? "completed" : "stopped";
}

// The last check, when it predicted this very run: the same workbook into
// the same company (a load since then forgets it).
std::optional<RecordedCheck> CheckOf(const RunRequest& request) {
    const CheckResult* check = request.lastCheck;
    const FormControls& form = request.controls;
    if (check == nullptr || !check->ran || check->workbook != form.fileDialog.FileName ||
        check->company != form.companyList.Text()) {
        return std::nullopt;
    }
    RecordedCheck recorded;
    recorded.date = check->date;
    recorded.stockLines = check->totals.stockLines;
    recorded.quantity = check->totals.quantity;
    recorded.stockValue = check->totals.stockValue;
    recorded.debit = check->totals.debit;
    recorded.credit = check->totals.credit;
    recorded.lines = check->Lines(false);
    return recorded;
}

}  // namespace

SheetCounts CountsOfSheet(const RunTally& tally, const std::string& sheet) {
    SheetCounts c;
    for (const RunTally::Row& row : tally.rows) {
        if (row.sheet != sheet) {
            continue;
        }
        switch (row.outcome) {
            case RunTally::Outcome::Written:
                ++c.written;
                break;
            case RunTally::Outcome::Updated:
                ++c.updated;
                break;
            case RunTally::Outcome::Partial:
                ++c.partial;
                break;
            case RunTally::Outcome::Skipped:
                ++(RunTally::NotReached(row) ? c.notReached : c.skipped);
                break;
            case RunTally::Outcome::Failed:
                ++c.failed;
                break;
            case RunTally::Outcome::Completed:
                ++c.completed;
                break;
            case RunTally::Outcome::Replaced:
                ++c.replaced;
                break;
            case RunTally::Outcome::Differs:
                ++c.differs;
                break;
        }
    }
    return c;
}

RunRecord RecordOfRun(const RunToRecord& run, const CompanyDatabase& company) {
    const FormControls& form = run.request.controls;
    const RunTally& tally = run.request.tally;
    RunRecord r;
    r.company = company.code;
    r.database = company.relative;
    r.workbook = Absolute(form.fileDialog.FileName);
    r.migrationDate = form.migrationDate.Value.ToIso();
    // The backup is named after the moment the run started to write.
    r.started = CompanyBackups(company).Describe(run.backup).made;
    r.ended = Now();
    r.outcome = OutcomeText(tally, run.failure);
    r.failure = run.failure;
    r.backup = run.backup;
    r.categoriesWritten = tally.categories.written;
    r.categoriesThere = tally.categories.skipped;
    r.categoriesFailed = tally.categories.failed;
    r.items = CountsOfSheet(tally, "items");
    r.ledgers = CountsOfSheet(tally, "ledgers");
    r.check = CheckOf(run.request);
    r.summary = tally.SummaryLines();
    for (const std::string& line : tally.SheetLines()) {
        r.summary.push_back(line);
    }
    r.reconciled = run.reconciled;
    return r;
}

void KeepRunRecord(const RunToRecord& run, WindowOps& ops) {
    try {
        CompanyDatabase company = LocateCompanyDatabase(run.request.productFolder,
                                                        run.request.controls.companyList.Text());
        RunRecords(company).Write(RecordOfRun(run, company));
    } catch (const DataError& error) {
        ops.MsgBox("The record of this run could not be kept beside the company's backups: " +
                       error.Description() +
                       " What the run wrote stays in the company; the backup " + run.backup +
                       " undoes it.",
                   MsgButtons::OK, MsgIcon::Exclamation);
    }
}

}  // namespace ledgerlift
