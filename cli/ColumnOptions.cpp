#include "cli/ColumnOptions.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <stdexcept>

#include "reports/ColumnChoiceJson.h"

namespace ledgerlift {

void ColumnOptions::Register(CLI::App& command) {
    command.add_option("--columns", columnsFile,
                       "Read the sheets and columns as this JSON file says: what the columns "
                       "command prints as json, edited (per field the heading decides; the "
                       "column letter is used when the heading is empty)");
    command.add_option("--items-sheet", itemsSheet,
                       "Read this worksheet, by name or by number from 1, as the items, and no "
                       "other");
    command.add_option("--ledgers-sheet", ledgersSheet,
                       "Read this worksheet, by name or by number from 1, as the ledgers, and "
                       "no other");
}

std::optional<ColumnChoice> ColumnOptions::Choice() const {
    ColumnChoice choice;
    if (!columnsFile.empty()) {
        try {
            choice = ReadColumnsFile(columnsFile);
        } catch (const std::runtime_error& error) {
            std::fprintf(stderr, "error: %s\n", error.what());
            return std::nullopt;
        }
    }
    choice.itemsSheet.name = itemsSheet;
    choice.ledgersSheet.name = ledgersSheet;
    return choice;
}

}  // namespace ledgerlift
