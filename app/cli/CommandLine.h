#pragma once

#include <string>

namespace ledgerlift {

// Exit statuses of the command line.
inline constexpr int kExitDone = 0;        // every row was written
inline constexpr int kExitIncomplete = 1;  // the run ended, some rows failed or were skipped
inline constexpr int kExitUsage = 2;       // a usage error, or a workbook that cannot be loaded
inline constexpr int kExitConnection = 3;  // the company connection failed
// No backup could be made before a migration, or a restore failed or was
// refused: nothing was written to the company's database.
inline constexpr int kExitBackup = 4;

// Whether the arguments ask for the command line rather than the window: a
// command (companies, preview, migrate, backups, restore) or a request for
// help.
bool WantsCommandLine(int argc, char** argv);

// Runs "ledgerlift companies | preview | migrate | backups | restore ..." without a window, with
// the very same logic as the window. programFolder is the product's folder
// unless --product-folder names another. Gives the exit status.
int RunCommandLine(int argc, char** argv, const std::string& programFolder);

}  // namespace ledgerlift
