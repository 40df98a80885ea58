#pragma once

#include <optional>
#include <string>

#include "load/ColumnChoice.h"

namespace CLI {
class App;
}

namespace ledgerlift {

// --columns FILE.json, --items-sheet NAME|N and --ledgers-sheet NAME|N: the
// sheets and columns chosen on the command line (preview, check, migrate and
// columns). The command line never uses what the window remembered, so a
// script reads a workbook alike on every machine.
struct ColumnOptions {
    std::string columnsFile;
    std::string itemsSheet;
    std::string ledgersSheet;

    void Register(CLI::App& command);
    // The choice the options make (empty without them); nothing, after an
    // error line on standard error, when the columns file can't be used.
    std::optional<ColumnChoice> Choice() const;
};

}  // namespace ledgerlift
