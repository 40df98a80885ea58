#include "app/CompanyConnection.h"

#include "base/TextRules.h"
#include "data/Recordset.h"

namespace ledgerlift {

namespace {
const char* const kConnectionTail =
    ".mdb;Persist Security Info=False;Jet OLEDB:Database Password=ZORVATH582";
}

std::string DatabaseFolder(const std::string& programFolder) {
    return programFolder + "/Resources/Database";
}

std::string InitialConnectionString(const std::string& programFolder) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + programFolder +
           "/Resources/Database/TallvaneInitial" + kConnectionTail;
}

std::string CompanyConnectionString(const std::string& programFolder,
                                    const std::string& companyPath) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + programFolder +
           "/Resources/Database/" + companyPath + kConnectionTail;
}

bool ConnectSql(const std::string& programFolder, const std::string& companyCode, WindowOps& ops,
                bool fastCommits) {
    try {
        cnCompany.Close();
        Connection initial;
        initial.Open(InitialConnectionString(programFolder));
        Recordset rs;
        rs.Open("Select * from tblCompany where CompanyCode=" + Quote(companyCode), initial,
                CursorType::Static, LockType::ReadOnly);
        if (rs.IsEOF()) {
            throw DataError("The company " + companyCode + " is not listed in " + initial.Path() +
                            ".");
        }
        Value dir = rs.Field("DirName");
        Value file = rs.Field("FileName");
        if (dir.IsNull() || file.IsNull()) {
            throw DataError("The company " + companyCode + " has no folder or no file name in " +
                            initial.Path() + ".");
        }
        // Every company, "TALLVANE" included, keeps its database in its own
        // folder under its own file name.
        cnCompany.Open(
            CompanyConnectionString(programFolder, ValueToText(dir) + "/" + ValueToText(file)));
        if (fastCommits) {
            cnCompany.UseFastCommits();
        }
        return true;
    } catch (const DataError& error) {
        cnCompany.Close();
        ops.MsgBox(error.Description(), MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
}

}  // namespace ledgerlift
