#include "app/cli/OutputPath.h"

#include <unistd.h>

#include <filesystem>

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

bool Writable(const fs::path& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

// The problem with making a new entry in the folder that holds path.
std::string ParentProblem(const std::string& what, const fs::path& path) {
    fs::path parent = path.parent_path();
    if (parent.empty()) {
        parent = ".";
    }
    std::error_code error;
    std::string lead = what + " " + path.string() + " cannot be written: ";
    if (!fs::exists(parent, error)) {
        return lead + "its folder " + parent.string() + " does not exist.";
    }
    if (!fs::is_directory(parent, error)) {
        return lead + parent.string() + " is not a folder.";
    }
    if (::access(parent.c_str(), W_OK | X_OK) != 0) {
        return lead + "its folder " + parent.string() + " is not writable.";
    }
    return "";
}

}  // namespace

std::string FileOutputProblem(const std::string& what, const std::string& path) {
    if (path.empty()) {
        return what + " needs a file name.";
    }
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        return what + " " + path + " cannot be written: it is a folder.";
    }
    if (fs::exists(status)) {
        return Writable(path) ? "" : what + " " + path + " cannot be written: it is read-only.";
    }
    return ParentProblem(what, path);
}

std::string FolderOutputProblem(const std::string& what, const std::string& path) {
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
    return ParentProblem(what, folder);
}

}  // namespace ledgerlift
