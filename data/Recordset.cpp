#include "data/Recordset.h"

#include <sqlite3.h>
#include <strings.h>

#include "data/Dialect.h"
#include "data/Statement.h"

namespace ledgerlift {
namespace {

Value ColumnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt, i));
        case SQLITE_NULL:
            return Value();
        default: {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            return Value(std::string(text ? text : ""));
        }
    }
}

}  // namespace

void Recordset::RequireUsable(Connection& connection) {
    if (!connection.IsOpen()) {
        throw DataError(
            "The operation is not allowed while the connection to the database is closed.");
    }
    if (!connection.TransactionLost().empty()) {
        throw DataError(connection.TransactionLost());
    }
}

void Recordset::Open(const std::string& statement, Connection& connection, CursorType, LockType) {
    if (open_) {
        throw DataError("The recordset is already open.");
    }
    RequireUsable(connection);
    connection.Trace(statement);
    try {
        std::string converted;
        Statement prepared = connection.Prepare(ToSqlite(statement, converted));
        Fetch(prepared);
    } catch (const DataError& error) {
        connection.NoteFailure(error);
        throw;
    }
}

void Recordset::Open(const Sql& statement, Connection& connection, CursorType, LockType) {
    if (open_) {
        throw DataError("The recordset is already open.");
    }
    RequireUsable(connection);
    std::string literal;
    if (connection.Tracing()) {
        literal = statement.Text();
        connection.Trace(literal);
    }
    try {
        Statement prepared = connection.Prepare(statement, literal);
        Fetch(prepared);
    } catch (const DataError& error) {
        connection.NoteFailure(error);
        throw;
    }
}

void Recordset::Fetch(Statement& prepared) {
    if (prepared.Empty()) {
        throw DataError("The statement to open holds nothing to run.");
    }
    sqlite3_stmt* stmt = prepared.Handle();
    // The columns are read after the first step: a statement kept prepared
    // is prepared again there when the table has changed since ("select *"
    // then gives the new columns).
    bool more = prepared.Step();
    std::vector<std::string> columns;
    int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
        columns.emplace_back(sqlite3_column_name(stmt, i));
    }
    std::vector<std::vector<Value>> rows;
    for (; more; more = prepared.Step()) {
        std::vector<Value> row;
        row.reserve(n);
        for (int i = 0; i < n; ++i) {
            row.push_back(ColumnValue(stmt, i));
        }
        rows.push_back(std::move(row));
    }
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    current_ = 0;
    open_ = true;
}

void Recordset::Close() {
    if (!open_) {
        throw DataError("The recordset is already closed.");
    }
    open_ = false;
    columns_.clear();
    rows_.clear();
    current_ = 0;
}

bool Recordset::IsEOF() const {
    if (!open_) {
        throw DataError("The operation is not allowed while the recordset is closed.");
    }
    return current_ >= rows_.size();
}

void Recordset::MoveNext() {
    RequireRow();
    ++current_;
}

void Recordset::RequireRow() const {
    if (IsEOF()) {
        throw DataError("There is no current record: the result has no more rows.");
    }
}

Value Recordset::Field(const std::string& name) const {
    RequireRow();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (strcasecmp(columns_[i].c_str(), name.c_str()) == 0) {
            return rows_[current_][i];
        }
    }
    throw DataError("The result has no column named " + name + ".");
}

Value Recordset::Field(int index) const {
    RequireRow();
    if (index < 0 || static_cast<std::size_t>(index) >= columns_.size()) {
        throw DataError("The result has no column number " + std::to_string(index) + ".");
    }
    return rows_[current_][index];
}

}  // namespace ledgerlift
