#include "tests/DatabaseDump.h"

#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace ledgerlift::test {
namespace {

class ReadOnlyDb {
  public:
    explicit ReadOnlyDb(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            std::string message = sqlite3_errmsg(db_);
            sqlite3_close(db_);
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
    }
    ~ReadOnlyDb() { sqlite3_close(db_); }
    ReadOnlyDb(const ReadOnlyDb&) = delete;
    ReadOnlyDb& operator=(const ReadOnlyDb&) = delete;

    // Every row of a query, each value written with its type.
    std::vector<std::string> Rows(const std::string& sql) const {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            std::string message = sqlite3_errmsg(db_);
            sqlite3_finalize(stmt);
            throw std::runtime_error(sql + ": " + message);
        }
        std::vector<std::string> rows;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                row += i ? "|" : "";
                row += Typed(stmt, i);
            }
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
        return rows;
    }

  private:
    static std::string Typed(sqlite3_stmt* stmt, int i) {
        char buf[64];
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER:
                return "i:" + std::to_string(sqlite3_column_int64(stmt, i));
            case SQLITE_FLOAT:
                std::snprintf(buf, sizeof buf, "r:%a", sqlite3_column_double(stmt, i));
                return buf;
            case SQLITE_TEXT:
                return "t:'" +
                       std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                   sqlite3_column_bytes(stmt, i)) +
                       "'";
            case SQLITE_BLOB: {
                std::string out = "b:";
                auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, i));
                for (int k = 0; k < sqlite3_column_bytes(stmt, i); ++k) {
                    std::snprintf(buf, sizeof buf, "%02x", bytes[k]);
                    out += buf;
                }
                return out;
            }
            default:
                return "NULL";
        }
    }

    sqlite3* db_ = nullptr;
};

}  // namespace

std::string DumpDatabase(const std::string& path) {
    ReadOnlyDb db(path);
    std::string out;
    for (const auto& line : db.Rows("pragma user_version")) {
        out += "user_version " + line + "\n";
    }
    for (const auto& line :
         db.Rows("select type, name, tbl_name, sql from sqlite_master order by type, name")) {
        out += line + "\n";
    }
    for (const auto& table :
         db.Rows("select name from sqlite_master where type='table' and name not like "
                 "'sqlite_%' order by name")) {
        std::string name = table.substr(3, table.size() - 4);  // t:'name'
        out += "-- " + name + "\n";
        for (const auto& line : db.Rows("select * from \"" + name + "\" order by rowid")) {
            out += line + "\n";
        }
    }
    return out;
}

}  // namespace ledgerlift::test
