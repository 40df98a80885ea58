#include "app/cli/BackupsCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "app/cli/CommandLine.h"
#include "company/CompanyRestore.h"

namespace ledgerlift {

void BackupsCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(
        Name(), "List a company's backups, newest first: time, size and what made each");
    command_->add_option("--company", company_, "The company code")->required();
    AddProductFolderOption(*command_, common);
    command_->footer(Footer("ledgerlift backups --company DEMO",
                            "  0 the backups were listed (or none was found)\n"
                            "  2 a usage error, or no product folder was found\n"
                            "  3 the company can't be found"));
}

int BackupsCommand::Run(const CommonOptions& common) {
    try {
        CompanyBackups backups(LocateCompanyDatabase(common.productFolder, company_));
        std::vector<BackupInfo> list = backups.List();
        if (list.empty()) {
            std::printf("%s\n", NoBackupsText(backups).c_str());
            return kExitDone;
        }
        std::printf("The backups of the company %s in %s, newest first:\n", company_.c_str(),
                    backups.Folder().c_str());
        for (const BackupInfo& backup : list) {
            std::printf("%s\n", CompanyBackups::Line(backup).c_str());
        }
        return kExitDone;
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitConnection;
    }
}

}  // namespace ledgerlift
