#include "cli/OutputPath.h"

#include <unistd.h>

#include <filesystem>

#include "company/OutputGuard.h"

namespace ledgerlift {

std::string FolderOutputProblem(const std::string& what, const std::string& path) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        return what + " needs a folder name.";
    }
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        return ::access(path.c_str(), W_OK | X_OK) == 0
                   ? ""
                   : what + " " + path + " cannot be written: it is read-only.";
    }
    if (fs::exists(status)) {
        return what + " " + path + " cannot be made: it is a file, not a folder.";
    }
    fs::path folder = fs::path(path).lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();
    }
    return NewEntryProblem(what, folder.string());
}

}  // namespace ledgerlift
