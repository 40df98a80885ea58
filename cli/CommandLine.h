#pragma once

#include <string>
#include <vector>

#include "company/ProductFolder.h"

namespace ledgerlift {

// Exit statuses of the command line.
// Every row went in, was completed or was already there.
inline constexpr int kExitDone = 0;
// The run ended, but some rows failed, were written in part, were not reached
// or differ from what the company holds.
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitUsage = 2;       // a usage error, or a workbook that cannot be loaded
inline constexpr int kExitConnection = 3;  // the company connection failed
// No backup could be made before a migration, or a restore failed or was
// refused: nothing was written to the company's database.
inline constexpr int kExitBackup = 4;
// A statement that was not written: nothing to state, or the file could not
// be written whole.
inline constexpr int kExitNotWritten = 4;

// What the program does after its arguments are read: end with a status, or
// open the window.
struct StartRequest {
    bool openWindow = false;
    int exitStatus = kExitDone;  // when the window is not wanted
    // For the window: the product folder by the usual order (source None when
    // none was found: the window then asks for one), and a workbook to load
    // as if chosen in the file dialog ("" for none).
    ProductFolderChoice productFolder;
    std::string workbook;
};

// The names of the program's commands, as typed, in the order the help lists
// them: the one list that every sentence naming the commands is made from.
std::vector<std::string> CommandNames();

// Reads the arguments and runs "ledgerlift companies | preview | migrate |
// demo ..." without a window, with the very same logic as the window; answers
// --help and --version. An unknown option or command is a usage error that
// never opens the window. Without a command ("ledgerlift [--product-folder
// DIR] [WORKBOOK]") the window is wanted. programFolder is the folder that
// holds the program; memory gives the product folder remembered from the
// window's last run (the command line reads it, never writes it).
StartRequest RunCommandLine(int argc, char** argv, const std::string& programFolder,
                            const ProductFolderMemory& memory);

}  // namespace ledgerlift
