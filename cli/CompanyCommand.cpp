#include "cli/CompanyCommand.h"

#include <CLI/CLI.hpp>

namespace ledgerlift {

void CompanyCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(Name(), help_);
    AddCompanyOption(*command_, company_);
    AddOptions(*command_);
    AddProductFolderOption(*command_, common);
    if (takesQuiet_) {
        AddQuietOption(*command_, common);
    }
}

}  // namespace ledgerlift
