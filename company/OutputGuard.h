#pragma once

#include <string>

namespace ledgerlift {

// Where this program may write a file of its own: the run report, the
// failed-rows workbook, and every output to come. The command line checks
// each output path before it reads or writes anything else, so that a
// mistyped path costs no run, and every writer checks again just before it
// writes; the window checks the path the operator chose.
struct OutputGuard {
    std::string productFolder;  // its company databases, backups, initial database
    std::string workbook;       // the workbook the data comes from

    // Why what ("The report") may not be written at path, in one sentence
    // that names it; "" when it may:
    //  - path is none of the files that must never be replaced (see
    //    ProtectedFiles): a company database and the files beside it, a
    //    backup or any file in a backup folder, the initial database, the
    //    workbook;
    //  - the file can be made there: its folder exists and is writable, and
    //    the name is free or a regular file that is writable (not a symbolic
    //    link, which the write would not follow, nor a folder or a device).
    // When the company list can't be read, it says so: the path is then
    // refused, since it could be a company's database. Without a product
    // folder every rule but the company list holds, and a folder named
    // Backups beside a .mdb file is taken for a company's backup folder.
    std::string Problem(const std::string& what, const std::string& path) const;

    // Problem, thrown as FileError when there is one.
    void Require(const std::string& what, const std::string& path) const;
};

// The problem with making a new entry in the folder that holds path, after
// "<what> <path> cannot be written: ": its folder is missing, is not a
// folder, or is not writable; "" when there is none.
std::string NewEntryProblem(const std::string& what, const std::string& path);

}  // namespace ledgerlift
