#include <cstdio>
#include <string>

#include "app/Form1.h"
#include "app/cli/BackupCommands.h"
#include "app/cli/CommandForm.h"
#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"
#include "app/cli/JsonText.h"
#include "base/TextRules.h"
#include "migration/mdlStock.h"

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
    out += "  \"problems\": [";
    for (std::size_t i = 0; i < r.problems.size(); ++i) {
        const Problem& p = r.problems[i];
        out += std::string(i ? "," : "") + "\n    {\"sheet\": " + JsonString(p.sheet) +
               ", \"row\": " + n(p.row) + ", \"key\": " + JsonString(p.key) +
               ", \"severity\": " + JsonString(Problem::SeverityText(p.severity)) +
               ", \"text\": " + JsonString(p.text) + "}";
    }
    out += r.problems.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string CheckText(const CheckResult& r) {
    std::string out;
    for (const std::string& line : r.Lines()) {
        out += line + "\n";
    }
    for (const Problem& p : r.problems) {
        out += p.sheet + " row " + std::to_string(p.row) + (p.key.empty() ? "" : ", " + p.key) +
               ": " + Problem::SeverityText(p.severity) + ": " + p.text + "\n";
    }
    return out;
}

}  // namespace

int Check(const CheckOptions& options) {
    if (std::string problem = FailedRowsPathProblem(options.failedRows); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::optional<Date> date = MigrationDateOption(options.date);
    if (!date) {
        return kExitUsage;
    }
    // A check asks nothing: its questions are answered inside it.
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    ops.SetQuiet(true);  // the result below says it all
    Form1 form(options.productFolder, ops);
    ops.SetShowProgress(!options.quiet);
    if (!LoadForCommand(form, ops, options.workbook, *date, options.updateItems, options.company)) {
        return kExitUsage;
    }
    form.cmdCheck_Click();
    ops.EndProgress();
    cnCompany.Close();
    const CheckResult& result = form.lastCheck;
    if (!result.ran) {
        return kExitConnection;  // said on standard error already
    }
    std::string out = options.format == "json" ? CheckJson(result) : CheckText(result);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!options.failedRows.empty() &&
        !WriteFailedRowsFile(options.failedRows, form, form.rowsToFix, options.quiet)) {
        return kExitIncomplete;
    }
    return result.RowsWithErrors() == 0 ? kExitDone : kExitIncomplete;
}

}  // namespace ledgerlift
