#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "reports/JsonOutput.h"

namespace ledgerlift {

// Tables written to a stream a row at a time, as the rows come, so that the
// output is never held whole: what preview prints. Each table has a name, a
// header row of column names and its rows, a cell per column.
//
// Tsv: a line per row; backslash, tab, CR, LF and NUL are written as \\, \t,
//      \r, \n and \0, so that a line is one row and no cell is cut short.
// Csv: a line per row, ended by CR LF; a cell that holds a comma, a quote, a
//      line end or a NUL is quoted, its quotes doubled.
//      In both, a "# name" line comes before each table when there are
//      several.
// Json: an object with a member per table, each an array of objects keyed
//      by column name, one object a line (as CompactJson writes it).
class TableWriter {
  public:
    enum class Format { Tsv, Csv, Json };

    // named: there are several tables (Tsv and Csv then name each).
    TableWriter(std::FILE* out, Format format, bool named)
        : out_(out), format_(format), named_(named) {}

    // Starts a table, ending the one before.
    void BeginTable(std::string_view name, const std::vector<std::string>& columns);
    // Writes a row of the current table.
    void Row(const std::vector<std::string_view>& cells);
    // Ends the last table and the output.
    void Finish();

  private:
    void Put(std::string_view text);
    void PutDelimited(const std::vector<std::string_view>& cells);
    void BeginJsonTable(std::string_view name, const std::vector<std::string>& columns);
    void EndJsonTable();

    std::FILE* out_;
    Format format_;
    bool named_;
    int tables_ = 0;
    std::size_t rows_ = 0;             // of the current table
    std::string line_;                 // the line being written, kept for its room
    OrderedJson row_;                  // a row as JSON: its members stay from row to row
    std::vector<std::string*> cells_;  // each column's text in row_
};

}  // namespace ledgerlift
