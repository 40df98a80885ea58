#include "data/Statement.h"

#include <sqlite3.h>

#include <chrono>
#include <utility>

#include "data/Connection.h"

namespace ledgerlift {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql, const std::string& path, const char** tail)
    : db_(db), path_(&path) {
    auto start = std::chrono::steady_clock::now();
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw SqliteError(db, rc, path, SecondsSince(start));
    }
}

Statement::Statement(sqlite3* db, sqlite3_stmt* lent, const std::string& path, bool& inUse)
    : db_(db), stmt_(lent), path_(&path), inUse_(&inUse) {
    inUse = true;
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_),
      stmt_(std::exchange(other.stmt_, nullptr)),
      path_(other.path_),
      inUse_(std::exchange(other.inUse_, nullptr)) {}

Statement::~Statement() {
    if (inUse_) {
        // Reset ends any read it holds; cleared bindings keep no pointer
        // into a text that is about to go.
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        *inUse_ = false;
        return;
    }
    sqlite3_finalize(stmt_);
}

bool Statement::Step() {
    auto start = std::chrono::steady_clock::now();
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        throw SqliteError(db_, rc, *path_, SecondsSince(start));
    }
    return false;
}

void Statement::Run() {
    while (Step()) {
    }
}

}  // namespace ledgerlift
