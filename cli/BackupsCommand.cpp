#include "cli/BackupsCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/CommandLine.h"
#include "company/CompanyRestore.h"
#include "company/RunRecords.h"

namespace ledgerlift {

void BackupsCommand::AddOptions(CLI::App& command) {
    command.footer(Footer("ledgerlift backups --company DEMO",
                          "  0 the backups were listed (or none was found)\n"
                          "  2 a usage error, or no product folder was found\n"
                          "  3 the company can't be found"));
}

namespace {

// The runs recorded beside the backups, newest first; a file under a
// record's name that can't be read is named on standard error.
void ListRunRecords(const CompanyDatabase& company) {
    RunRecords records(company);
    RunRecords::Listing listing = records.List();
    for (const std::string& problem : listing.problems) {
        std::fprintf(stderr, "warning: %s\n", problem.c_str());
    }
    if (listing.records.empty()) {
        std::printf("\nNo run of the company %s is recorded in %s.\n", company.code.c_str(),
                    records.Folder().c_str());
        return;
    }
    std::printf("\nThe runs of the company %s recorded in %s, newest first:\n",
                company.code.c_str(), records.Folder().c_str());
    for (const RunRecord& record : listing.records) {
        std::printf("%s\n", RunRecords::Line(record).c_str());
    }
}

}  // namespace

int BackupsCommand::Run(const CommonOptions& common) {
    try {
        CompanyDatabase company = LocateCompanyDatabase(common.productFolder, Company());
        CompanyBackups backups(company);
        std::vector<BackupInfo> list = backups.List();
        if (list.empty()) {
            std::printf("%s\n", NoBackupsText(backups).c_str());
        } else {
            std::printf("The backups of the company %s in %s, newest first:\n", Company().c_str(),
                        backups.Folder().c_str());
            for (const BackupInfo& backup : list) {
                std::printf("%s\n", CompanyBackups::Line(backup).c_str());
            }
            for (const BackupInfo& backup : list) {
                if (!backup.noteProblem.empty()) {
                    std::fprintf(stderr, "warning: %s\n", backup.noteProblem.c_str());
                }
            }
        }
        ListRunRecords(company);
        return kExitDone;
    } catch (const DataError& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitConnection;
    }
}

}  // namespace ledgerlift
