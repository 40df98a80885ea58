#include <cstdio>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "company/CompanyRestore.h"

namespace ledgerlift {

int ListBackups(const BackupOptions& options) {
    try {
        CompanyBackups backups(LocateCompanyDatabase(options.productFolder, options.company));
        std::vector<BackupInfo> list = backups.List();
        if (list.empty()) {
            std::printf("%s\n", NoBackupsText(backups).c_str());
            return kExitDone;
        }
        std::printf("The backups of the company %s in %s, newest first:\n", options.company.c_str(),
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
