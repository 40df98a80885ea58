#include "cli/OpeningStatementCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "base/TextRules.h"
#include "cli/CommandLine.h"
#include "reports/openingstatement/WriteOpeningStatement.h"

namespace ledgerlift {

OpeningStatementCommand::OpeningStatementCommand()
    : CompanyCommand(
          "Write the company's opening statement as migrated, read back from its database: "
          "opening stock by category, ledgers by group, the totals and the difference to be "
          "posted to capital, the last run and the backup that undoes it, and a line per item",
          /*takesQuiet=*/true) {}

void OpeningStatementCommand::AddOptions(CLI::App& command) {
    command
        .add_option("--output,-o", output_,
                    "The file to write: FILE.pdf, or FILE.html for a browser or a mail")
        ->required();
    command.add_option("--paper", paper_, "a4 (default) or letter")
        ->check(CLI::IsMember({"a4", "letter"}, CLI::ignore_case));
    command
        .add_option("--grouping", grouping_,
                    "How figures are grouped: western (1,234,567.00) or indian "
                    "(12,34,567.00); default: indian under an Indian locale (en_IN), "
                    "else western")
        ->check(CLI::IsMember({"western", "indian"}, CLI::ignore_case));
    command.footer(Footer(
        "ledgerlift statement --company DEMO --output ~/DEMO-opening.pdf --grouping indian",
        "  0 the statement was written\n"
        "  2 a usage error, or an output that can't be written there (nothing was read)\n"
        "  3 the company can't be found or its database opened, or another program holds it\n"
        "  4 nothing was written: the company has not been migrated yet, or the file could "
        "not be written whole (an older file of that name stays as it was)"));
}

int OpeningStatementCommand::Run(const CommonOptions& common) {
    OpeningStatementRequest request;
    request.productFolder = common.productFolder;
    request.company = Company();
    request.output = output_;
    request.paper = PaperNamed(paper_).value_or(Paper::A4);
    request.grouping = grouping_.empty()              ? GroupingOfEnvironment()
                       : Upper(grouping_) == "INDIAN" ? DigitGrouping::Indian
                                                      : DigitGrouping::Western;
    try {
        int pages = WriteOpeningStatement(request);
        if (!common.quiet) {
            std::printf("The opening statement of the company %s was written to %s (%d page%s).\n",
                        Company().c_str(), output_.c_str(), pages, pages == 1 ? "" : "s");
        }
        return kExitDone;
    } catch (const StatementFailure& failure) {
        std::fprintf(stderr, "error: %s\n", failure.what());
        switch (failure.WhatFailed()) {
            case StatementFailure::Kind::Output:
                return kExitUsage;
            case StatementFailure::Kind::Company:
                return kExitConnection;
            case StatementFailure::Kind::NothingMigrated:
            case StatementFailure::Kind::Writing:
                break;
        }
        return kExitNotWritten;
    }
}

}  // namespace ledgerlift
