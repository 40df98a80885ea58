#include "usecases/CompanyNames.h"

#include <filesystem>

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "data/DataError.h"
#include "data/Recordset.h"

namespace ledgerlift {
namespace {

std::vector<std::string> Names(Connection& db, const std::string& sql) {
    std::vector<std::string> names;
    Recordset rs;
    rs.Open(sql, db, CursorType::ForwardOnly, LockType::ReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (!rs.Field(0).IsNull()) {
            if (std::string name = Trim(ValueToText(rs.Field(0))); !name.empty()) {
                names.push_back(name);
            }
        }
    }
    return names;
}

}  // namespace

TemplateLists ReadCompanyNames(const std::string& productFolder, const std::string& companyCode) {
    CompanyDatabase company = LocateCompanyDatabase(productFolder, companyCode);
    std::error_code error;
    if (!std::filesystem::is_regular_file(company.path, error)) {
        std::string sentence = "The database of the company ";
        sentence += company.code;
        sentence += ", ";
        sentence += company.path;
        sentence += ", does not exist, so its categories and account groups can't be listed.";
        throw DataError(sentence);
    }
    Connection db;
    db.OpenReadOnly(company.connection);
    RequireCompanyTables(db);
    TemplateLists lists;
    lists.categories = Names(db, "select Category from tblCategories order by Category");
    lists.accountGroups =
        Names(db, "select AccountGroup from tblAccountgroup order by AccountGroup");
    return lists;
}

}  // namespace ledgerlift
