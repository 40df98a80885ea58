#include "cli/PreviewCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/TextRules.h"
#include "cli/CommandLine.h"
#include "cli/CommandSession.h"
#include "cli/ConsoleWindowOps.h"
#include "reports/CsvField.h"
#include "reports/JsonText.h"
#include "ui/Grid.h"

namespace ledgerlift {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A cell in a tab-separated line: backslash, tab, CR, LF and NUL escaped, so
// that a line is one row and no cell is cut short.
std::string TsvCell(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A cell in a CSV line: quoted as CsvField, and also when it holds a NUL,
// which is written as it is.
std::string CsvCell(const std::string& text) {
    std::string field = CsvField(text);
    if (text.find('\0') != std::string::npos && field.front() != '"') {
        return '"' + field + '"';  // no quote in it: CsvField would have quoted it
    }
    return field;
}

// Writes text whole: a NUL in it does not end it.
void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// The column names: the captions of the grid's header row, as the window
// shows them.
std::vector<std::string> ColumnNames(const Grid& grid) {
    std::vector<std::string> names;
    for (int c = 0; c < grid.Cols(); ++c) {
        names.push_back(Trim(std::string(grid.TextMatrix(0, c))));
    }
    return names;
}

// The rows the load put in the grid: below the header row, above the empty
// row a load ends with.
Rows GridRows(const Grid& grid) {
    Rows rows;
    for (int r = 1; r <= grid.Rows() - 2; ++r) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int c = 0; c < grid.Cols(); ++c) {
            row.emplace_back(grid.TextMatrix(r, c));
        }
    }
    return rows;
}

// One table: the header row of column names, then the rows; a line per row.
void PrintDelimited(const std::vector<std::string>& names, const Rows& rows, bool csv) {
    auto print = [csv](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) {
                line += csv ? ',' : '\t';
            }
            line += csv ? CsvCell(row[c]) : TsvCell(row[c]);
        }
        line += csv ? "\r\n" : "\n";
        Print(line);
    };
    print(names);
    for (const auto& row : rows) {
        print(row);
    }
}

// The rows as JSON objects keyed by column name.
std::string JsonRows(const std::vector<std::string>& names, const Rows& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",\n    {" : "\n    {";
        for (std::size_t c = 0; c < rows[r].size() && c < names.size(); ++c) {
            if (c) {
                out += ',';
            }
            out += JsonString(names[c]);
            out += ':';
            out += JsonString(rows[r][c]);
        }
        out += '}';
    }
    out += rows.empty() ? "]" : "\n  ]";
    return out;
}

}  // namespace

void PreviewCommand::AddOptions(CLI::App& command, CommonOptions&) {
    command.add_option("--sheet", sheet_, "Only this sheet")
        ->check(CLI::IsMember({"items", "ledgers"}));
    command
        .add_option("--format", format_,
                    "tsv (default) or csv, each with a header row of column names, or json "
                    "(one object per row, keyed by column name)")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    command.footer(Footer("ledgerlift preview opening.xls --sheet items --format csv",
                          "  0 the rows were printed\n"
                          "  2 a usage error, or a workbook that cannot be read"));
}

int PreviewCommand::Run(const CommonOptions& common) {
    // Loaded as check and migrate load it, with the same sentences: a
    // workbook they refuse is refused here too, and the rows printed are
    // those the grids hold.
    ConsoleWindowOps ops(ConsoleWindowOps::Answer::No, ConsoleWindowOps::Answer::No);
    ops.SetQuiet(true);  // the rows say it; warnings and errors still show
    ops.SetShowProgress(!common.quiet);
    CommandSession session("", ops);
    std::optional<ColumnChoice> choice = ChosenColumns();
    if (!choice) {
        return kExitUsage;
    }
    session.columns = *choice;
    if (!session.LoadFile(Workbook(), !common.quiet)) {
        return kExitUsage;
    }
    std::vector<std::pair<const char*, const Grid*>> sheets;
    if (sheet_ != "ledgers") {
        sheets.emplace_back("items", &session.controls.itemGrid);
    }
    if (sheet_ != "items") {
        sheets.emplace_back("ledgers", &session.controls.ledgerGrid);
    }
    if (format_ == "json") {
        std::string out = "{";
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            out += i ? ",\n  " : "\n  ";
            out += JsonString(sheets[i].first) + ": ";
            out += JsonRows(ColumnNames(*sheets[i].second), GridRows(*sheets[i].second));
        }
        Print(out + "\n}\n");
        return kExitDone;
    }
    for (const auto& [name, grid] : sheets) {
        if (sheets.size() > 1) {
            Print(std::string("# ") + name + (format_ == "csv" ? "\r\n" : "\n"));
        }
        PrintDelimited(ColumnNames(*grid), GridRows(*grid), format_ == "csv");
    }
    return kExitDone;
}

}  // namespace ledgerlift
