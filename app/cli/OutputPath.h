#pragma once

#include <string>

namespace ledgerlift {

// Why a command could not write the file at path, in one sentence that names
// it as what ("The report"); "" when it can. Checked before the command reads
// or writes anything else, so that a mistyped path costs no run: the path is
// not a folder, its folder exists and is writable, and a file already there is
// writable.
std::string FileOutputProblem(const std::string& what, const std::string& path);

// The same for a folder that a command fills, making it when missing: it is a
// writable folder, or its parent folder exists and is writable.
std::string FolderOutputProblem(const std::string& what, const std::string& path);

}  // namespace ledgerlift
