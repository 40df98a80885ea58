#include "cli/DemoCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli/CommandLine.h"
#include "cli/OutputPath.h"
#include "company/DemoFolder.h"
#include "company/ProductFolder.h"

namespace ledgerlift {

void DemoCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(
        Name(),
        "Lay out a demo product folder: the companies DEMO and SHOP and the sample workbook in "
        "each format (.xls, .xlsx, .ods); never overwrites a file");
    command_->add_option("folder", folder_, "The folder to lay it out in (made if missing)")
        ->required();
    AddQuietOption(*command_, common);
    command_->footer(Footer("ledgerlift demo ~/ledgerlift-demo",
                            "  0 the folder was laid out (files already there are kept)\n"
                            "  2 a usage error, or the folder cannot be written"));
}

int DemoCommand::Run(const CommonOptions& common) {
    std::string problem = FolderOutputProblem("The demo folder", folder_);
    if (!problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::string folder = NormalFolder(folder_);
    try {
        for (const DemoFile& file : LayOutDemoFolder(folder)) {
            if (!common.quiet) {
                std::printf(file.created ? "made %s\n" : "kept %s (it was already there)\n",
                            file.path.c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    if (!common.quiet) {
        std::printf(
            "The demo product folder is %s; try: ledgerlift companies --product-folder %s\n",
            folder.c_str(), folder.c_str());
    }
    return kExitDone;
}

}  // namespace ledgerlift
