#include "usecases/ConnectCompany.h"

#include <filesystem>

namespace ledgerlift {

bool ConnectCompany(Connection& companyConnection, const std::string& productFolder,
                    const std::string& companyCode, WindowOps& ops, bool fastCommits,
                    CompanyLock* lock, CompanyUse use) {
    try {
        companyConnection.Close();
        CompanyDatabase company = LocateCompanyDatabase(productFolder, companyCode);
        // A file that is not there is reported by the open below.
        if (lock && std::filesystem::exists(company.path) && !lock->Acquire(company.path, use)) {
            throw DataError(CompanyTakenText(companyCode, company.path) +
                            " Wait until it has finished, then start again.");
        }
        companyConnection.Open(company.connection);
        RequireCompanyTables(companyConnection);
        if (fastCommits) {
            companyConnection.UseFastCommits();
        }
        return true;
    } catch (const DataError& error) {
        companyConnection.Close();
        if (lock) {
            lock->Release();
        }
        ops.MsgBox(error.Description(), MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
}

}  // namespace ledgerlift
