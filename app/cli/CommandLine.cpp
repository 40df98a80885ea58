#include "app/cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <filesystem>

#include "app/Form1.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"

namespace ledgerlift {

bool WantsCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    for (const char* word : {"companies", "preview", "migrate", "--help", "-h"}) {
        if (std::strcmp(argv[1], word) == 0) {
            return true;
        }
    }
    return false;
}

int ListCompanies(const std::string& productFolder) {
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    Form1 form(productFolder, ops);
    form.Form_Load();
    for (int i = 0; i < form.txtCompanyName.ListCount(); ++i) {
        std::printf("%s\n", form.txtCompanyName.List(i).c_str());
    }
    return ops.Messages().empty() ? kExitDone : kExitConnection;
}

int RunCommandLine(int argc, char** argv, const std::string& programFolder) {
    CLI::App app{
        "Ledgerlift moves a company's items and ledgers from a workbook (Excel .xls, .xlsx or "
        ".xlsm, or OpenDocument .ods) into its Tallvane company database. Without a command it "
        "opens its window.",
        "ledgerlift"};
    app.require_subcommand(1);
    std::string productFolder;
    auto addFolder = [&](CLI::App* command) {
        command->add_option("--product-folder", productFolder,
                            "The product's folder; the databases are under "
                            "DIR/Resources/Database (default: the program's folder)");
    };

    auto* companies = app.add_subcommand("companies", "List the company codes, one a line");
    addFolder(companies);

    PreviewOptions preview;
    auto* previewCommand = app.add_subcommand(
        "preview", "Print the rows of a workbook as the import would load them; writes nothing");
    const char* const workbookHelp =
        "The workbook: .xls, .xlsx, .xlsm or .ods (its format is told by its content)";
    previewCommand->add_option("workbook", preview.workbook, workbookHelp)->required();
    previewCommand->add_option("--sheet", preview.sheet, "Only this sheet")
        ->check(CLI::IsMember({"items", "ledgers"}));
    previewCommand->add_option("--format", preview.format, "tsv (default) or json")
        ->check(CLI::IsMember({"tsv", "json"}));

    MigrateOptions migrate;
    auto* migrateCommand =
        app.add_subcommand("migrate", "Load a workbook and migrate it into a company");
    migrateCommand->add_option("workbook", migrate.workbook, workbookHelp)->required();
    migrateCommand->add_option("--company", migrate.company, "The company code")->required();
    migrateCommand->add_option("--date", migrate.date,
                               "The migration date, YYYY-MM-DD (default: today)");
    migrateCommand->add_flag("--update-items", migrate.updateItems,
                             "Replace items whose code is already there");
    migrateCommand->add_flag("--yes", migrate.yes, "Answer the confirmation question with Yes");
    migrateCommand
        ->add_option("--on-error", migrate.onError,
                     "How to answer \"continue with next data?\": ask (on a terminal), stop or "
                     "continue (default: ask on a terminal, else stop)")
        ->check(CLI::IsMember({"ask", "stop", "continue"}));
    migrateCommand->add_flag("--dry-run", migrate.dryRun,
                             "Do the whole run, then undo it: nothing is written");
    migrateCommand->add_option("--report", migrate.report,
                               "Write a CSV file with one line per grid row");
    addFolder(migrateCommand);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? kExitDone : kExitUsage;
    }
    std::string folder = productFolder.empty()
                             ? programFolder
                             : std::filesystem::absolute(productFolder).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (companies->parsed()) {
        return ListCompanies(folder);
    }
    if (previewCommand->parsed()) {
        return Preview(preview);
    }
    migrate.productFolder = folder;
    return Migrate(migrate);
}

}  // namespace ledgerlift
