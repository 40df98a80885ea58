#include "company/OutputGuard.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/AtomicFile.h"
#include "base/TextRules.h"
#include "company/ProtectedFiles.h"
#include "data/DataError.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// What is at path itself, a symbolic link not followed.
std::string NameProblem(const std::string& what, const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "";  // free
    }
    std::string lead = what + " " + path + " cannot be written: ";
    if (S_ISLNK(st.st_mode)) {
        return lead + "it is a symbolic link; name the file itself.";
    }
    if (S_ISDIR(st.st_mode)) {
        return lead + "it is a folder.";
    }
    if (!S_ISREG(st.st_mode)) {
        return lead + "that name is taken by something that is not a file.";
    }
    // A file marked read-only is left as it is even by an account that
    // could write it anyway.
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
        return lead + "it is read-only.";
    }
    return "";
}

// Without a product folder the companies are not known; a folder named
// Backups beside a company database (a .mdb file) is still its backup
// folder, which holds its backups alone.
std::string BackupFolderProblem(const std::string& what, const std::string& path) {
    std::error_code ec;
    fs::path folder = fs::weakly_canonical(fs::absolute(path, ec), ec).parent_path();
    if (ec || folder.filename() != "Backups") {
        return "";
    }
    for (const auto& entry : fs::directory_iterator(folder.parent_path(), ec)) {
        std::string extension = entry.path().extension().string();
        if (extension.size() == 4 && Upper(extension) == ".MDB" && entry.is_regular_file(ec)) {
            return what + " " + path + " cannot be written there: that is a file in the backup " +
                   "folder of the database " + entry.path().string() +
                   ", which holds its backups alone. Name another file.";
        }
    }
    return "";
}

std::string ProtectedProblem(const std::string& what, const std::string& path,
                             const OutputGuard& guard) {
    if (guard.productFolder.empty()) {
        return BackupFolderProblem(what, path);
    }
    try {
        std::string is = ProtectedFiles(guard.productFolder, guard.workbook).What(path);
        if (is.empty()) {
            return "";
        }
        return what + " " + path + " cannot be written there: that is " + is +
               ". Name another file.";
    } catch (const DataError& error) {
        std::string why = error.Description();
        if (!why.empty() && why.back() == '.') {
            why.pop_back();
        }
        return what + " " + path + " cannot be written: the company databases it must not " +
               "replace could not be listed (" + why + ").";
    }
}

}  // namespace

std::string NewEntryProblem(const std::string& what, const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) {
        parent = ".";
    }
    std::error_code error;
    std::string lead = what + " " + path + " cannot be written: ";
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

std::string OutputGuard::Problem(const std::string& what, const std::string& path) const {
    if (path.empty()) {
        return what + " needs a file name.";
    }
    if (std::string problem = ProtectedProblem(what, path, *this); !problem.empty()) {
        return problem;
    }
    if (std::string problem = NameProblem(what, path); !problem.empty()) {
        return problem;
    }
    return NewEntryProblem(what, path);
}

void OutputGuard::Require(const std::string& what, const std::string& path) const {
    if (std::string problem = Problem(what, path); !problem.empty()) {
        throw FileError(problem);
    }
}

}  // namespace ledgerlift
