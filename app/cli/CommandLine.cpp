#include "app/cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>

#include "app/Form1.h"
#include "app/cli/BackupCommands.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"

namespace ledgerlift {
namespace {

const char* const kProductFolderHelp =
    "The product's folder, under which Resources/Database lies (default: "
    "LEDGERLIFT_PRODUCT_FOLDER, else the folder the window used last, else the program's own "
    "folder when Resources/Database lies there)";

// Every command's help ends with an example and its exit statuses.
std::string Footer(const std::string& example, const std::string& statuses) {
    return "Example:\n  " + example + "\n\nExit status:\n" + statuses;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The window's workbook argument: an existing file. Anything else is a
// mistyped command or path, refused before the window opens.
std::string WorkbookProblem(const std::string& workbook) {
    std::error_code error;
    if (std::filesystem::is_directory(workbook, error)) {
        return workbook + " is a folder, not a workbook.";
    }
    if (!std::filesystem::exists(workbook, error)) {
        return workbook +
               " is neither a command (companies, preview, check, migrate, demo, backups, restore) "
               "nor a workbook "
               "that "
               "exists; see \"ledgerlift --help\".";
    }
    return "";
}

}  // namespace

int ListCompanies(const std::string& productFolder) {
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    Form1 form(productFolder, ops);
    form.Form_Load();
    for (int i = 0; i < form.txtCompanyName.ListCount(); ++i) {
        std::printf("%s\n", form.txtCompanyName.List(i).c_str());
    }
    return ops.Messages().empty() ? kExitDone : kExitConnection;
}

StartRequest RunCommandLine(int argc, char** argv, const std::string& programFolder,
                            const ProductFolderMemory& memory) {
    CLI::App app{
        "Ledgerlift moves a company's items and ledgers from a workbook (Excel .xls, .xlsx or "
        ".xlsm, or OpenDocument .ods) into its Tallvane company database. Without a command it "
        "opens its window, and loads the workbook when one is given.",
        "ledgerlift"};
    app.require_subcommand(0, 1);
    app.set_version_flag("--version,-V", std::string("ledgerlift ") + LEDGERLIFT_VERSION,
                         "Print the version and exit");
    std::string productFolder;
    bool quiet = false;
    std::string workbook;
    app.add_option("workbook", workbook, "A workbook for the window to load at start");
    app.add_option("--product-folder", productFolder, kProductFolderHelp);
    app.footer(Footer("ledgerlift ~/books/opening.xls",
                      "  0 the window was closed\n"
                      "  2 a usage error, or no desktop to show the window on"));
    auto addFolder = [&](CLI::App* command) {
        command->add_option("--product-folder", productFolder, kProductFolderHelp);
    };
    auto addQuiet = [&](CLI::App* command) {
        command->add_flag("--quiet,-q", quiet,
                          "Print no status lines, progress or information; warnings, errors and "
                          "failed rows still go to standard error");
    };

    auto* companies = app.add_subcommand("companies", "List the company codes, one a line");
    addFolder(companies);
    addQuiet(companies);
    companies->footer(Footer("ledgerlift companies --product-folder /srv/tallvane",
                             "  0 the companies were listed\n"
                             "  2 a usage error, or no product folder was found\n"
                             "  3 the initial database could not be read"));

    PreviewOptions preview;
    auto* previewCommand = app.add_subcommand(
        "preview", "Print the rows of a workbook as the import would load them; writes nothing");
    const char* const workbookHelp =
        "The workbook: .xls, .xlsx, .xlsm or .ods (its format is told by its content)";
    previewCommand->add_option("workbook", preview.workbook, workbookHelp)->required();
    previewCommand->add_option("--sheet", preview.sheet, "Only this sheet")
        ->check(CLI::IsMember({"items", "ledgers"}));
    previewCommand
        ->add_option("--format", preview.format,
                     "tsv (default) or csv, each with a header row of column names, or json "
                     "(one object per row, keyed by column name)")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    addQuiet(previewCommand);
    previewCommand->footer(Footer("ledgerlift preview opening.xls --sheet items --format csv",
                                  "  0 the rows were printed\n"
                                  "  2 a usage error, or a workbook that cannot be read"));

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
                               "Write a CSV file with one line per grid row (its folder is "
                               "checked before the run starts)");
    AddBackupOptions(*migrateCommand, migrate);
    addFolder(migrateCommand);
    addQuiet(migrateCommand);
    migrateCommand->footer(
        Footer("ledgerlift migrate opening.xls --company DEMO --date 2024-04-01 --yes "
               "--report report.csv",
               "  0 every row was written\n"
               "  1 the run ended, some rows failed or were skipped\n"
               "  2 a usage error, or a workbook that cannot be loaded\n"
               "  3 the company connection failed\n"
               "  4 no backup of the company could be made first: nothing was written"));

    CheckOptions check;
    auto* checkCommand = app.add_subcommand(
        "check",
        "Predict what migrate would do, without writing: counts, opening stock and balance "
        "totals, and every row's problems");
    checkCommand
        ->add_option("workbook", check.workbook, "The workbook (.xls, .xlsx, .xlsm or .ods)")
        ->required();
    checkCommand->add_option("--company", check.company, "The company code")->required();
    checkCommand->add_option("--date", check.date,
                             "The migration date, YYYY-MM-DD (default: today)");
    checkCommand->add_flag("--update-items", check.updateItems,
                           "As migrate would with it: replace items whose code is already there");
    checkCommand->add_option("--format", check.format, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    AddFailedRowsOption(*checkCommand, check.failedRows);
    addFolder(checkCommand);
    addQuiet(checkCommand);
    checkCommand->footer(
        Footer("ledgerlift check opening.xls --company DEMO --date 2024-04-01 --format json",
               "  0 no row has an error\n"
               "  1 some rows have errors (they would not be written, or only in part)\n"
               "  2 a usage error, or a workbook that cannot be loaded\n"
               "  3 the company connection failed"));

    DemoOptions demo;
    auto* demoCommand = app.add_subcommand(
        "demo",
        "Lay out a demo product folder: the companies DEMO and SHOP and a sample workbook; "
        "never overwrites a file");
    demoCommand->add_option("folder", demo.folder, "The folder to lay it out in (made if missing)")
        ->required();
    addQuiet(demoCommand);
    demoCommand->footer(Footer("ledgerlift demo ~/ledgerlift-demo",
                               "  0 the folder was laid out (files already there are kept)\n"
                               "  2 a usage error, or the folder cannot be written"));

    BackupOptions backup;
    BackupCommands backupCommands = AddBackupCommands(app, backup, addFolder);

    StartRequest request;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        request.exitStatus = status == 0 ? kExitDone : kExitUsage;
        return request;
    }
    if (previewCommand->parsed()) {
        request.exitStatus = Preview(preview);
        return request;
    }
    if (demoCommand->parsed()) {
        demo.quiet = quiet;
        request.exitStatus = LayOutDemo(demo);
        return request;
    }
    ProductFolderChoice folder = ChooseProductFolder(
        {productFolder, Environment(kProductFolderVariable), memory.Recall(), programFolder});
    if (!companies->parsed() && !migrateCommand->parsed() && !checkCommand->parsed() &&
        !backupCommands.Parsed()) {
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
    if (folder.source == ProductFolderSource::None) {
        std::fprintf(stderr, "error: %s\n", NoProductFolderMessage().c_str());
        request.exitStatus = kExitUsage;
        return request;
    }
    if (companies->parsed()) {
        request.exitStatus = ListCompanies(folder.folder);
        return request;
    }
    if (backupCommands.Parsed()) {
        backup.productFolder = folder.folder;
        request.exitStatus = RunBackupCommand(backupCommands, backup);
        return request;
    }
    if (checkCommand->parsed()) {
        check.productFolder = folder.folder;
        check.quiet = quiet;
        request.exitStatus = Check(check);
        return request;
    }
    migrate.productFolder = folder.folder;
    migrate.quiet = quiet;
    request.exitStatus = Migrate(migrate);
    return request;
}

}  // namespace ledgerlift
