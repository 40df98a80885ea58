#include "cli/CompaniesCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/ConsoleWindowOps.h"
#include "usecases/StartWindow.h"

namespace ledgerlift {

void CompaniesCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(Name(), "List the company codes, one a line");
    AddProductFolderOption(*command_, common);
    AddQuietOption(*command_, common);
    command_->footer(Footer("ledgerlift companies --product-folder /srv/tallvane",
                            "  0 the companies were listed\n"
                            "  2 a usage error, or no product folder was found\n"
                            "  3 the initial database could not be read"));
}

int CompaniesCommand::Run(const CommonOptions& common) {
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    FormControls controls;
    StartWindow(controls, common.productFolder, ops);
    for (int i = 0; i < controls.companyList.ListCount(); ++i) {
        std::printf("%s\n", controls.companyList.List(i).c_str());
    }
    return ops.Messages().empty() ? kExitDone : kExitConnection;
}

}  // namespace ledgerlift
