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
#include "reports/TableWriter.h"
#include "ui/Grid.h"

namespace ledgerlift {
namespace {

// The column names: the captions of the grid's header row, as the window
// shows them.
std::vector<std::string> ColumnNames(const Grid& grid) {
    std::vector<std::string> names;
    for (int c = 0; c < grid.Cols(); ++c) {
        names.push_back(Trim(std::string(grid.TextMatrix(0, c))));
    }
    return names;
}

// The rows the load put in the grid, each written as it is read: below the
// header row, above the empty row a load ends with.
void WriteGrid(TableWriter& out, const char* name, const Grid& grid) {
    out.BeginTable(name, ColumnNames(grid));
    std::vector<std::string_view> cells(static_cast<std::size_t>(grid.Cols()));
    for (int r = 1; r <= grid.Rows() - 2; ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            cells[static_cast<std::size_t>(c)] = grid.TextMatrix(r, c);
        }
        out.Row(cells);
    }
}

TableWriter::Format FormatNamed(const std::string& format) {
    if (format == "json") {
        return TableWriter::Format::Json;
    }
    return format == "csv" ? TableWriter::Format::Csv : TableWriter::Format::Tsv;
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
    TableWriter out(stdout, FormatNamed(format_), sheets.size() > 1);
    for (const auto& [name, grid] : sheets) {
        WriteGrid(out, name, *grid);
    }
    out.Finish();
    return kExitDone;
}

}  // namespace ledgerlift
