#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleWindowOps.h"
#include "company/CompanyRestore.h"

namespace ledgerlift {

int Restore(const BackupOptions& options) {
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    if (!options.yes && !terminal) {
        std::fprintf(stderr,
                     "error: restoring asks for confirmation, and there is no terminal to ask "
                     "on; give --yes to confirm.\n");
        return kExitUsage;
    }
    auto answer = options.yes ? ConsoleWindowOps::Answer::Yes : ConsoleWindowOps::Answer::Ask;
    ConsoleWindowOps ops(answer, answer);
    CompanyDatabase company;
    try {
        company = LocateCompanyDatabase(options.productFolder, options.company);
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitConnection;
    }
    CompanyBackups backups(company);
    std::string path;
    if (!options.from.empty()) {
        path = std::filesystem::absolute(options.from).lexically_normal().string();
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
