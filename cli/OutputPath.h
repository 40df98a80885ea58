#pragma once

#include <string>

namespace ledgerlift {

// Why a command could not fill the folder at path, making it when missing, in
// one sentence that names it as what ("The demo folder"); "" when it can: it
// is a writable folder, or its parent folder exists and is writable. Checked
// before the command reads or writes anything else. (Files: see OutputGuard.)
std::string FolderOutputProblem(const std::string& what, const std::string& path);

}  // namespace ledgerlift
