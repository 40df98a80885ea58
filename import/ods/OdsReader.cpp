#include "import/ods/OdsReader.h"

#include "import/core/WorkbookFile.h"
#include "import/ods/OdsContent.h"
#include "import/package/LibraryLog.h"
#include "import/package/ZipPackage.h"

namespace ledgerlift {

bool OdsReader::IsOdsMimeType(const std::string& mimetype) {
    std::size_t first = mimetype.find_first_not_of(" \t\r\n");
    std::size_t last = mimetype.find_last_not_of(" \t\r\n");
    return first != std::string::npos && mimetype.compare(first, last + 1 - first, kMimeType) == 0;
}

void OdsReader::Open(const std::string& path) {
    Close();
    CheckReadableFile(path);
    LibraryLogScope quiet;
    ZipPackage zip(path);
    if (!zip.Has("mimetype") || !IsOdsMimeType(zip.ReadSmall("mimetype", 256))) {
        throw NotAWorkbook(path);
    }
    Loaded(path, OdsContent::Read(*zip.Open("content.xml")));
}

}  // namespace ledgerlift
