#include "cli/CheckCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "base/TextRules.h"
#include "cli/CommandLine.h"
#include "cli/CommandSession.h"
#include "cli/ConsoleWindowOps.h"
#include "cli/FailedRowsFile.h"
#include "reports/JsonText.h"
#include "usecases/RunCheck.h"

namespace ledgerlift {
namespace {

// An amount as a JSON number, to the currency's four decimals.
std::string JsonAmount(double v) {
    try {
        return CurrencyText(v);
    } catch (const ConversionError&) {
        return NumberText(v);
    }
}

std::string CheckJson(const CheckResult& r) {
    auto n = [](int v) { return std::to_string(v); };
    std::string out = "{\n";
    out += "  \"workbook\": " + JsonString(r.workbook) + ",\n";
    out += "  \"company\": " + JsonString(r.company) + ",\n";
    out += "  \"date\": " + JsonString(r.date) + ",\n";
    out += "  \"categories\": {\"new\": " + n(r.categoriesNew) +
           ", \"existing\": " + n(r.categoriesExisting) + "},\n";
    out += "  \"items\": {\"rows\": " + n(r.itemRows) + ", \"new\": " + n(r.itemsNew) +
           ", \"existing\": " + n(r.itemsExisting) + ", \"failing\": " + n(r.itemsFailing) + "},\n";
    out += "  \"opening_stock\": {\"lines\": " + n(r.totals.stockLines) +
           ", \"quantity\": " + NumberText(r.totals.quantity) +
           ", \"value\": " + JsonAmount(r.totals.stockValue) + "},\n";
    out += "  \"ledgers\": {\"rows\": " + n(r.ledgerRows) + ", \"new\": " + n(r.ledgersNew) +
           ", \"existing\": " + n(r.ledgersExisting) + ", \"failing\": " + n(r.ledgersFailing) +
           "},\n";
    out += "  \"opening_balances\": {\"debit\": " + JsonAmount(r.totals.debit) +
           ", \"credit\": " + JsonAmount(r.totals.credit) +
           ", \"stock_value\": " + JsonAmount(r.totals.stockValue) +
           ", \"difference\": " + JsonAmount(r.totals.Difference()) + "},\n";
    out += "  \"load_warnings\": [";
    for (std::size_t i = 0; i < r.loadWarnings.size(); ++i) {
        out += std::string(i ? ", " : "") + JsonString(r.loadWarnings[i]);
    }
    out += "],\n";
    out += "  \"problems\": [";
    for (std::size_t i = 0; i < r.problems.size(); ++i) {
        const Problem& p = r.problems[i];
        out += std::string(i ? "," : "") + "\n    {\"sheet\": " + JsonString(p.sheet) +
               ", \"row\": " + n(p.row) + ", \"column\": " + JsonString(p.column) +
               ", \"heading\": " + JsonString(p.heading) + ", \"key\": " + JsonString(p.key) +
               ", \"severity\": " + JsonString(Problem::SeverityText(p.severity)) +
               ", \"kind\": " + JsonString(p.kind) + ", \"text\": " + JsonString(p.text) + "}";
    }
    out += r.problems.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string CheckText(const CheckResult& r) {
    std::string out;
    for (const std::string& line : r.Lines(false)) {
        out += line + "\n";
    }
    for (const Problem& p : r.problems) {
        out += p.sheet + " row " + std::to_string(p.row) + (p.key.empty() ? "" : ", " + p.key) +
               ": " + Problem::SeverityText(p.severity) + ": " + p.text + "\n";
    }
    return out;
}

}  // namespace

void CheckCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(
        Name(),
        "Predict what migrate would do, without writing: counts, opening stock and balance "
        "totals, and every row's problems");
    command_->add_option("workbook", workbook_, "The workbook (.xls, .xlsx, .xlsm or .ods)")
        ->required();
    command_->add_option("--company", company_, "The company code")->required();
    command_->add_option("--date", date_, "The migration date, YYYY-MM-DD (default: today)");
    command_->add_flag("--negative-is-credit", negativeIsCredit_,
                       "An opening balance that is negative and says neither Dr nor Cr is a "
                       "credit, and a positive one a debit (without it, such a negative balance "
                       "is an error)");
    command_->add_flag("--replace-openings", replaceOpenings_,
                       "Check as a run that replaces the openings that differ from the "
                       "workbook's");
    command_->add_flag("--update-items", updateItems_,
                       "As migrate would with it: replace items whose code is already there");
    command_->add_option("--format", format_, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    AddFailedRowsOption(*command_, failedRows_);
    AddProductFolderOption(*command_, common);
    columns_.Register(*command_);
    AddQuietOption(*command_, common);
    command_->footer(
        Footer("ledgerlift check opening.xls --company DEMO --date 2024-04-01 --format json",
               "  0 no row has an error\n"
               "  1 some rows have errors (they would not be written, or only in part)\n"
               "  2 a usage error, or a workbook that cannot be loaded\n"
               "  3 the company connection failed"));
}

int CheckCommand::Run(const CommonOptions& common) {
    const OutputGuard guard{common.productFolder, workbook_};
    if (std::string problem = FailedRowsPathProblem(failedRows_, guard); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::optional<Date> date = MigrationDateOption(date_);
    if (!date) {
        return kExitUsage;
    }
    // A check asks nothing: its questions are answered inside it.
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    ops.SetQuiet(true);  // the result below says it all
    ops.SetShowProgress(!common.quiet);
    CommandSession session(common.productFolder, ops);
    std::optional<ColumnChoice> choice = columns_.Choice();
    if (!choice) {
        return kExitUsage;
    }
    session.columns = *choice;
    if (!session.Load(workbook_, *date, updateItems_, company_, !common.quiet)) {
        return kExitUsage;
    }
    session.controls.negativeIsCreditBox.Value = negativeIsCredit_ ? 1 : 0;
    session.controls.replaceOpeningsBox.Value = replaceOpenings_ ? 1 : 0;
    std::optional<CheckResult> checked = RunCheck(session.Request({}), ops);
    ops.EndProgress();
    session.companyConnection.Close();
    if (!checked || !checked->ran) {
        return kExitConnection;  // said on standard error already
    }
    const CheckResult& result = *checked;
    std::string out = format_ == "json" ? CheckJson(result) : CheckText(result);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!failedRows_.empty() && !WriteFailedRowsFile(failedRows_, session.controls,
                                                     result.rowsToFix, common.quiet, guard)) {
        return kExitIncomplete;
    }
    return result.RowsWithErrors() == 0 ? kExitDone : kExitIncomplete;
}

}  // namespace ledgerlift
