#include "cli/WorkbookCommand.h"

#include <CLI/CLI.hpp>

namespace ledgerlift {

void WorkbookCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(Name(), help_);
    command_->add_option("workbook", workbook_, workbookHelp_)->required();
    AddOptions(*command_, common);
    columns_.Register(*command_);
    AddQuietOption(*command_, common);
}

}  // namespace ledgerlift
