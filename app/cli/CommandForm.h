#pragma once

#include <optional>
#include <string>

#include "app/Form1.h"
#include "app/cli/ConsoleWindowOps.h"

namespace ledgerlift {

// The window's start, as the commands that load a workbook drive it:
// Form_Load, the migration date, the update mode, the company (added to the
// list when it is not there, so that the connection names it), then
// "Load Excel Data" on the workbook. The load's messages are held back and
// printed after it, a failure labelled "error". Gives whether the workbook
// was loaded.
// The migration date of a --date option: today when it is empty; nothing,
// after an error line on standard error, when it is no YYYY-MM-DD date.
std::optional<Date> MigrationDateOption(const std::string& option);

bool LoadForCommand(Form1& form, ConsoleWindowOps& ops, const std::string& workbook,
                    const Date& date, bool updateItems, const std::string& company);

}  // namespace ledgerlift
