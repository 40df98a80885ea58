#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "cli/BackupsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/ColumnsCommand.h"
#include "cli/CompaniesCommand.h"
#include "cli/DemoCommand.h"
#include "cli/MigrateCommand.h"
#include "cli/OpeningStatementCommand.h"
#include "cli/PreviewCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/TemplateCommand.h"

namespace ledgerlift {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// What --version prints: the version, and the licence the program is
// distributed under (the full text is in the package's copyright file).
std::string VersionText() {
    return std::string("ledgerlift ") + LEDGERLIFT_VERSION +
           "\nLicence GPL-3.0-or-later: GNU GPL version 3 or later; there is NO WARRANTY.";
}

// Every command of the program, in the order the help lists them.
std::vector<std::unique_ptr<Command>> AllCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<CompaniesCommand>());
    commands.push_back(std::make_unique<PreviewCommand>());
    commands.push_back(std::make_unique<CheckCommand>());
    commands.push_back(std::make_unique<MigrateCommand>());
    commands.push_back(std::make_unique<ColumnsCommand>());
    commands.push_back(std::make_unique<TemplateCommand>());
    commands.push_back(std::make_unique<DemoCommand>());
    commands.push_back(std::make_unique<BackupsCommand>());
    commands.push_back(std::make_unique<RestoreCommand>());
    commands.push_back(std::make_unique<OpeningStatementCommand>());
    return commands;
}

// The window's workbook argument: an existing file. Anything else is a
// mistyped command or path, refused before the window opens.
std::string WorkbookProblem(const std::string& workbook) {
    std::error_code error;
    if (std::filesystem::is_directory(workbook, error)) {
        return workbook + " is a folder, not a workbook.";
    }
    if (!std::filesystem::exists(workbook, error)) {
        std::string names;
        for (const std::string& name : CommandNames()) {
            names += (names.empty() ? "" : ", ") + name;
        }
        return workbook + " is neither a command (" + names +
               ") nor a workbook that exists; see \"ledgerlift --help\".";
    }
    return "";
}

// The window is wanted: with the workbook given, if it is one.
StartRequest WindowRequest(const std::string& workbook, const ProductFolderChoice& folder) {
    StartRequest request;
    std::string problem = workbook.empty() ? "" : WorkbookProblem(workbook);
    if (!problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        request.exitStatus = kExitUsage;
        return request;
    }
    request.openWindow = true;
    request.productFolder = folder;
    request.workbook = workbook.empty() ? "" : NormalFolder(workbook);
    return request;
}

}  // namespace

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const auto& command : AllCommands()) {
        names.emplace_back(command->Name());
    }
    return names;
}

StartRequest RunCommandLine(int argc, char** argv, const std::string& programFolder,
                            const ProductFolderMemory& memory) {
    CLI::App app{
        "Ledgerlift moves a company's items and ledgers from a workbook (Excel .xls, .xlsx or "
        ".xlsm, or OpenDocument .ods) into its Tallvane company database. Without a command it "
        "opens its window, and loads the workbook when one is given.",
        "ledgerlift"};
    app.require_subcommand(0, 1);
    app.set_version_flag("--version,-V", VersionText(),
                         "Print the version and the licence, and exit");
    CommonOptions common;
    std::string workbook;
    app.add_option("workbook", workbook, "A workbook for the window to load at start");
    AddProductFolderOption(app, common);
    app.footer(Footer("ledgerlift ~/books/opening.xls",
                      "  0 the window was closed\n"
                      "  2 a usage error, or no desktop to show the window on"));
    std::vector<std::unique_ptr<Command>> commands = AllCommands();
    for (auto& command : commands) {
        command->Register(app, common);
    }
    StartRequest request;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        request.exitStatus = status == 0 ? kExitDone : kExitUsage;
        return request;
    }
    Command* given = nullptr;
    for (auto& command : commands) {
        given = command->Parsed() ? command.get() : given;
    }
    if (given && !given->NeedsProductFolder() && !given->UsesProductFolder()) {
        request.exitStatus = given->Run(common);
        return request;
    }
    ProductFolderChoice folder =
        ChooseProductFolder({common.productFolder, Environment(kProductFolderVariable),
                             memory.Recall(), programFolder});
    if (given && !given->NeedsProductFolder()) {
        common.productFolder = folder.source == ProductFolderSource::None ? "" : folder.folder;
        request.exitStatus = given->Run(common);
        return request;
    }
    if (!given) {
        return WindowRequest(workbook, folder);
    }
    if (folder.source == ProductFolderSource::None) {
        std::fprintf(stderr, "error: %s\n", NoProductFolderMessage().c_str());
        request.exitStatus = kExitUsage;
        return request;
    }
    common.productFolder = folder.folder;
    request.exitStatus = given->Run(common);
    return request;
}

}  // namespace ledgerlift
