#include "cli/Command.h"

#include <CLI/CLI.hpp>

namespace ledgerlift {

bool Command::Parsed() const {
    return command_ != nullptr && command_->parsed();
}

std::string Footer(const std::string& example, const std::string& statuses) {
    return "Example:\n  " + example + "\n\nExit status:\n" + statuses;
}

void AddProductFolderOption(CLI::App& command, CommonOptions& common) {
    command.add_option(
        "--product-folder", common.productFolder,
        "The product's folder, under which Resources/Database lies (default: "
        "LEDGERLIFT_PRODUCT_FOLDER, else the folder the window used last, else the program's own "
        "folder when Resources/Database lies there)");
}

void AddQuietOption(CLI::App& command, CommonOptions& common) {
    command.add_flag("--quiet,-q", common.quiet,
                     "Print no status lines, progress or information; warnings, errors and "
                     "failed rows still go to standard error");
}

void AddCompanyOption(CLI::App& command, std::string& company) {
    command.add_option("--company", company, "The company code")->required();
}

void AddYesOption(CLI::App& command, bool& yes) {
    command.add_flag("--yes", yes, "Answer the confirmation question with Yes");
}

}  // namespace ledgerlift
