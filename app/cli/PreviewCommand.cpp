#include "app/cli/PreviewCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CsvField.h"
#include "app/cli/CommandLine.h"
#include "app/cli/JsonText.h"
#include "base/TextRules.h"
#include "import/OpenWorkbook.h"
#include "load/GridLayouts.h"
#include "load/LoadWorkbook.h"
#include "load/SheetRows.h"
#include "ui/Grid.h"

namespace ledgerlift {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A cell in a tab-separated line: backslash, tab, CR and LF escaped.
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
            default:
                out += c;
        }
    }
    return out;
}

// The column names: the captions of the grid's header row, as the window
// shows them.
std::vector<std::string> ColumnNames(const char* format) {
    Grid grid;
    grid.SetFormatString(format);
    std::vector<std::string> names;
    for (int c = 0; c < grid.Cols(); ++c) {
        names.push_back(Trim(std::string(grid.TextMatrix(0, c))));
    }
    return names;
}

// One table: the header row of column names, then the rows; a line per row.
void PrintDelimited(const std::vector<std::string>& names, const Rows& rows, bool csv) {
    auto print = [csv](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) {
                line += csv ? ',' : '\t';
            }
            line += csv ? CsvField(row[c]) : TsvCell(row[c]);
        }
        line += csv ? "\r\n" : "\n";
        std::fputs(line.c_str(), stdout);
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

void PreviewCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(
        Name(), "Print the rows of a workbook as the import would load them; writes nothing");
    command_->add_option("workbook", workbook_, kWorkbookHelp)->required();
    command_->add_option("--sheet", sheet_, "Only this sheet")
        ->check(CLI::IsMember({"items", "ledgers"}));
    command_
        ->add_option("--format", format_,
                     "tsv (default) or csv, each with a header row of column names, or json "
                     "(one object per row, keyed by column name)")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    AddQuietOption(*command_, common);
    command_->footer(Footer("ledgerlift preview opening.xls --sheet items --format csv",
                            "  0 the rows were printed\n"
                            "  2 a usage error, or a workbook that cannot be read"));
}

int PreviewCommand::Run(const CommonOptions&) {
    struct Sheet {
        const char* name;
        int number;
        int lastCol;
        const char* format;
        Rows rows;
    };
    std::vector<Sheet> sheets;
    if (sheet_ != "ledgers") {
        sheets.push_back({"items", 1, kItemCols - 1, kItemFormat, {}});
    }
    if (sheet_ != "items") {
        sheets.push_back({"ledgers", 2, kLedgerCols - 1, kLedgerFormat, {}});
    }
    try {
        AnyWorkbookReader book;
        book.Open(workbook_);
        GridTextBudget budget(workbook_);
        for (auto& sheet : sheets) {
            if (sheet.number > book.SheetCount()) {
                std::fprintf(stderr, "warning: %s has no worksheet %d (%s).\n", workbook_.c_str(),
                             sheet.number, sheet.name);
                continue;
            }
            std::string label =
                "worksheet " + std::to_string(sheet.number) + " (" + sheet.name + ")";
            if (int notRead =
                    ReadSheetRows(book, sheet.number, sheet.lastCol, budget, label, sheet.rows)) {
                std::fprintf(stderr,
                             "warning: only worksheet rows 2 to 65000 of worksheet %d (%s) are "
                             "loaded; its %d rows below row 65000 are not read.\n",
                             sheet.number, sheet.name, notRead);
            }
            if (int count = book.FormulasWithoutResult(sheet.number); count > 0) {
                std::fprintf(stderr, "warning: %s\n",
                             MissingResultsMessage(workbook_, label, count).c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    if (format_ == "json") {
        std::string out = "{";
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            out += i ? ",\n  " : "\n  ";
            out += JsonString(sheets[i].name);
            out += ": ";
            out += JsonRows(ColumnNames(sheets[i].format), sheets[i].rows);
        }
        std::printf("%s\n}\n", out.c_str());
    } else {
        for (const auto& sheet : sheets) {
            if (sheets.size() > 1) {
                std::printf(format_ == "csv" ? "# %s\r\n" : "# %s\n", sheet.name);
            }
            PrintDelimited(ColumnNames(sheet.format), sheet.rows, format_ == "csv");
        }
    }
    return kExitDone;
}

}  // namespace ledgerlift
