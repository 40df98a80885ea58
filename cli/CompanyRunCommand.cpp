#include "cli/CompanyRunCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/FailedRowsFile.h"

namespace ledgerlift {

void CompanyRunCommand::AddOptions(CLI::App& command, CommonOptions& common) {
    AddCompanyOption(command, company_);
    command.add_option("--date", date_, "The migration date, YYYY-MM-DD (default: today)");
    command.add_flag("--negative-is-credit", negativeIsCredit_,
                     "An opening balance that is negative and says neither Dr nor Cr is a "
                     "credit, and a positive one a debit (without it, such a negative balance "
                     "is an error)");
    command.add_flag("--update-items", updateItems_, help_.updateItems);
    command.add_flag("--replace-openings", replaceOpenings_, help_.replaceOpenings);
    AddRunOptions(command);
    AddFailedRowsOption(command, failedRows_);
    AddProductFolderOption(command, common);
}

std::string CompanyRunCommand::OutputProblem(const OutputGuard& guard) const {
    return FailedRowsPathProblem(failedRows_, guard);
}

int CompanyRunCommand::Run(const CommonOptions& common) {
    // Before anything is read or written: an output that could not be
    // written at the end would cost the whole run, and one that would replace
    // a company's database, a backup or the workbook must never be written.
    const OutputGuard guard{common.productFolder, Workbook()};
    if (std::string problem = OutputProblem(guard); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::optional<Date> date = MigrationDateOption(date_);
    if (!date) {
        return kExitUsage;
    }
    std::unique_ptr<ConsoleWindowOps> ops = StartConsole(common.quiet);
    if (!ops) {
        return kExitUsage;
    }
    CommandSession session(common.productFolder, *ops);
    std::optional<ColumnChoice> choice = ChosenColumns();
    if (!choice) {
        return kExitUsage;
    }
    session.columns = *choice;
    if (!session.Load(Workbook(), *date, updateItems_, company_, !common.quiet)) {
        return kExitUsage;
    }
    session.controls.negativeIsCreditBox.Value = negativeIsCredit_ ? 1 : 0;
    session.controls.replaceOpeningsBox.Value = replaceOpenings_ ? 1 : 0;
    return RunLoaded(session, common.quiet, guard);
}

}  // namespace ledgerlift
