#include "usecases/ConnectSql.h"

#include <filesystem>

namespace ledgerlift {

bool ConnectSql(Connection& cnCompany, const std::string& programFolder,
                const std::string& companyCode, WindowOps& ops, bool fastCommits, CompanyLock* lock,
                CompanyUse use) {
    try {
        cnCompany.Close();
        CompanyDatabase company = LocateCompanyDatabase(programFolder, companyCode);
        // A file that is not there is reported by the open below.
        if (lock && std::filesystem::exists(company.path) && !lock->Acquire(company.path, use)) {
            throw DataError(CompanyTakenText(companyCode, company.path) +
                            " Wait until it has finished, then start again.");
        }
        cnCompany.Open(company.connection);
        RequireCompanyTables(cnCompany);
        if (fastCommits) {
            cnCompany.UseFastCommits();
        }
        return true;
    } catch (const DataError& error) {
        cnCompany.Close();
        if (lock) {
            lock->Release();
        }
        ops.MsgBox(error.Description(), MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
}

}  // namespace ledgerlift
