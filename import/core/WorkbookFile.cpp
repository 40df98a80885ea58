#include "import/core/WorkbookFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace ledgerlift {

void CheckReadableFile(const std::string& path) {
    struct stat st {};
    if (path.empty()) {
        throw WorkbookError("No workbook was chosen.");
    }
    if (stat(path.c_str(), &st) != 0) {
        throw WorkbookError("The workbook " + path + " could not be found.");
    }
    if (!S_ISREG(st.st_mode)) {
        throw WorkbookError("The workbook " + path + " is not a file.");
    }
    if (access(path.c_str(), R_OK) != 0) {
        throw WorkbookError("The workbook " + path + " could not be read: permission denied.");
    }
}

WorkbookError NotAWorkbook(const std::string& path) {
    return WorkbookError("The file " + path +
                         " is not an Excel workbook (.xls, .xlsx, .xlsm) or an OpenDocument "
                         "spreadsheet (.ods) and cannot be loaded.");
}

WorkbookError Damaged(const std::string& path, const std::string& what) {
    return WorkbookError("The workbook " + path + " is damaged: " + what + ".");
}

WorkbookError PasswordProtected(const std::string& path) {
    return WorkbookError("The workbook " + path +
                         " is protected with a password. Save it without a password and load it "
                         "again.");
}

}  // namespace ledgerlift
