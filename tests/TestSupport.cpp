#include "tests/TestSupport.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Schema.h"

namespace ledgerlift::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ledgerlift-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ProductFolder::ProductFolder() {
    CreateDatabase(InitialDb(), std::string(LEDGERLIFT_SCHEMA_DIR) + "/initial.sql");
}

std::string ProductFolder::CompanyDb(const std::string& dirName,
                                     const std::string& fileName) const {
    return DatabaseFolder() + "/" + dirName + "/" + fileName + ".mdb";
}

std::string ProductFolder::AddCompany(const std::string& code, const std::string& dirName,
                                      const std::string& fileName, bool createDatabase) {
    Connection initial;
    initial.Open(ConnectionStringFor(InitialDb()));
    initial.Execute(
        "insert into tblCompany (CompanyCode, CompanyName, DirName, FileName) values (" +
        Quote(code) + ", " + Quote(code + " Ltd") + ", " + Quote(dirName) + ", " + Quote(fileName) +
        ")");
    std::string path = CompanyDb(dirName, fileName);
    if (createDatabase) {
        CreateCompanyDb(path);
    }
    return path;
}

void CreateCompanyDb(const std::string& path) {
    CreateDatabase(path, std::string(LEDGERLIFT_SCHEMA_DIR) + "/company.sql");
}

std::string ConnectionStringFor(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
           ";Persist Security Info=False;Jet OLEDB:Database Password=ZORVATH582";
}

Value QueryValue(const std::string& dbPath, const std::string& sql) {
    Connection c;
    c.Open(ConnectionStringFor(dbPath));
    Recordset rs;
    rs.Open(sql, c);
    return rs.IsEOF() ? Value() : rs.Field(0);
}

void Execute(const std::string& dbPath, const std::string& sql) {
    Connection c;
    c.Open(ConnectionStringFor(dbPath));
    c.Execute(sql);
}

std::string QueryRows(const std::string& dbPath, const std::string& sql) {
    Connection c;
    c.Open(ConnectionStringFor(dbPath));
    Recordset rs;
    rs.Open(sql, c);
    std::string out;
    while (!rs.IsEOF()) {
        for (int i = 0;; ++i) {
            Value v;
            try {
                v = rs.Field(i);
            } catch (const DataError&) {
                break;
            }
            if (i > 0) {
                out += "|";
            }
            out += v.IsNull() ? "NULL" : ValueToText(v);
        }
        out += "\n";
        rs.MoveNext();
    }
    return out;
}

std::string FixturePath(const std::string& name) {
    return std::string(LEDGERLIFT_FIXTURES_DIR) + "/" + name;
}

}  // namespace ledgerlift::test
