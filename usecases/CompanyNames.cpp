#include "usecases/CompanyNames.h"

#include <filesystem>

#include "base/TextRules.h"
#include "base/Utf8Text.h"
#include "company/CompanyDatabase.h"
#include "data/DataError.h"
#include "data/Recordset.h"

namespace ledgerlift {
namespace {

// The most characters a workbook's cell holds.
constexpr std::size_t kLongestCell = 32767;

// Why no workbook can hold the name ("" when one can): a workbook's text is
// UTF-8 without NUL, and a cell holds at most 32,767 characters.
std::string Unwritable(const std::string& name) {
    if (!IsValidUtf8(name) || name.find('\0') != std::string::npos) {
        return "it is not valid text (not UTF-8, or it holds a NUL)";
    }
    std::size_t characters = 0;
    for (unsigned char c : name) {
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    if (characters > kLongestCell) {
        return "it is " + std::to_string(characters) +
               " characters long, and a workbook's cell holds at most 32,767";
    }
    return "";
}

// The names the query gives; those no workbook can hold are left out, each
// with a sentence in leftOut that names it (what ("category") says of what).
std::vector<std::string> Names(Connection& db, const std::string& sql, const char* what,
                               std::vector<std::string>& leftOut) {
    std::vector<std::string> names;
    Recordset rs;
    rs.Open(sql, db, CursorType::ForwardOnly, LockType::ReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (!rs.Field(0).IsNull()) {
            std::string name = Trim(ValueToText(rs.Field(0)));
            if (std::string why = Unwritable(name); !why.empty()) {
                leftOut.push_back("The " + std::string(what) + " \"" +
                                  ShownText(Utf8Head(name, 60)) + (name.size() > 60 ? "..." : "") +
                                  "\" is left out of the template's drop-down list: " + why + ".");
            } else if (!name.empty()) {
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
    lists.categories = Names(db, "select Category from tblCategories order by Category", "category",
                             lists.leftOut);
    lists.accountGroups =
        Names(db, "select AccountGroup from tblAccountgroup order by AccountGroup", "account group",
              lists.leftOut);
    return lists;
}

}  // namespace ledgerlift
