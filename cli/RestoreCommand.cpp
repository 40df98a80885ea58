#include "cli/RestoreCommand.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "cli/CommandLine.h"
#include "cli/ConsoleWindowOps.h"
#include "company/CompanyRestore.h"

namespace ledgerlift {

void RestoreCommand::AddOptions(CLI::App& command) {
    command.add_option("--from", from_, "The backup file (default: the company's newest backup)");
    AddYesOption(command, yes_);
    command.footer(
        Footer("ledgerlift restore --company DEMO --yes",
               "  0 the backup was restored\n"
               "  1 the question was answered No: nothing was restored\n"
               "  2 a usage error, or no product folder was found\n"
               "  3 the company can't be found, or another program is migrating or restoring it\n"
               "  4 the restore was refused or failed: the database is as it was"));
}

int RestoreCommand::Run(const CommonOptions& common) {
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    if (!yes_ && !terminal) {
        std::fprintf(stderr,
                     "error: restoring asks for confirmation, and there is no terminal to ask "
                     "on; give --yes to confirm.\n");
        return kExitUsage;
    }
    auto answer = yes_ ? ConsoleWindowOps::Answer::Yes : ConsoleWindowOps::Answer::Ask;
    ConsoleWindowOps ops(answer, answer);
    CompanyDatabase company;
    try {
        company = LocateCompanyDatabase(common.productFolder, Company());
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitConnection;
    }
    CompanyBackups backups(company);
    std::string path;
    if (!from_.empty()) {
        path = std::filesystem::absolute(from_).lexically_normal().string();
    } else {
        std::vector<BackupInfo> list = backups.List();
        if (list.empty()) {
            std::fprintf(stderr, "error: %s Nothing was restored.\n",
                         NoBackupsText(backups).c_str());
            return kExitBackup;
        }
        path = list.front().path;
    }
    BackupInfo backup = backups.Describe(path);
    try {
        CheckRestorable(backups, backup);  // before the question, and again once taken
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitBackup;
    }
    if (ops.MsgBox(RestoreQuestion(company.code, backup), MsgButtons::YesNo, MsgIcon::Question) !=
        MsgAnswer::Yes) {
        std::fprintf(stderr, "Nothing was restored.\n");
        return kExitIncomplete;
    }
    try {
        RestoreResult result = RestoreCompany(company, path);
        std::printf("%s\n", RestoreDoneText(company.code, result).c_str());
        return kExitDone;
    } catch (const CompanyTaken& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitConnection;
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitBackup;
    }
}

}  // namespace ledgerlift
