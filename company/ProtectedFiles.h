#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// The files that no output of this program (a report, a failed-rows
// workbook, ...) may ever replace, each with what it is in the operator's
// words ("the database of the company DEMO"): every company database that the
// initial database lists, with its rollback journal, write-ahead log,
// shared-memory index and lock file; every file in a company's backup
// folder, and any new file there; the initial database with its journals;
// and the workbook the data comes from.
class ProtectedFiles {
  public:
    // Reads the company list of the initial database below productFolder.
    // Throws DataError, for the operator, when it can't be read.
    ProtectedFiles(const std::string& productFolder, const std::string& workbook);

    // What path is, when it is one of the protected files or lies in a backup
    // folder; "" when it is none of them. Compared as files, not as names:
    // an existing file by its device and inode (so a hard link, a symbolic
    // link or a path through ".." is seen through), a name not there yet by
    // its folder's canonical path and its own name.
    std::string What(const std::string& path) const;

  private:
    struct File {
        std::string path;
        std::string what;
    };
    void AddCompany(const std::string& code, const std::string& database);
    void AddBackupFolder(const std::string& code, const std::string& folder);

    std::vector<File> files_;
    std::vector<File> folders_;  // every file in them, and every new one
};

}  // namespace ledgerlift
