#include "cli/CheckCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "cli/CommandLine.h"
#include "cli/CommandSession.h"
#include "cli/ConsoleWindowOps.h"
#include "cli/FailedRowsFile.h"
#include "reports/CheckJson.h"
#include "usecases/RunCheck.h"

namespace ledgerlift {
namespace {

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

CheckCommand::CheckCommand()
    : CompanyRunCommand(
          {"Predict what migrate would do, without writing: counts, opening stock and balance "
           "totals, and every row's problems",
           "The workbook (.xls, .xlsx, .xlsm or .ods)",
           "As migrate would with it: replace items whose code is already there",
           "Check as a run that replaces the openings that differ from the workbook's"}) {}

void CheckCommand::AddRunOptions(CLI::App& command) {
    command.add_option("--format", format_, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    command.footer(
        Footer("ledgerlift check opening.xls --company DEMO --date 2024-04-01 --format json",
               "  0 no row has an error\n"
               "  1 some rows have errors (they would not be written, or only in part)\n"
               "  2 a usage error, or a workbook that cannot be loaded\n"
               "  3 the company connection failed"));
}

std::unique_ptr<ConsoleWindowOps> CheckCommand::StartConsole(bool quiet) const {
    // A check asks nothing: its questions are answered inside it.
    auto ops = std::make_unique<ConsoleWindowOps>(ConsoleWindowOps::Answer::No,
                                                  ConsoleWindowOps::Answer::No);
    ops->SetQuiet(true);  // the result below says it all
    ops->SetShowProgress(!quiet);
    return ops;
}

int CheckCommand::RunLoaded(CommandSession& session, bool quiet, const OutputGuard& guard) {
    std::optional<CheckResult> checked = RunCheck(session.Request({}), session.Ops());
    session.EndRun();
    if (!checked || !checked->ran) {
        return kExitConnection;  // said on standard error already
    }
    const CheckResult& result = *checked;
    std::string out = format_ == "json" ? CheckJson(result) : CheckText(result);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!FailedRows().empty() &&
        !WriteFailedRowsFile(FailedRows(), session.controls, result.rowsToFix, quiet, guard)) {
        return kExitIncomplete;
    }
    return result.RowsWithErrors() == 0 ? kExitDone : kExitIncomplete;
}

}  // namespace ledgerlift
