#pragma once

#include <string>

#include "import/core/StoredWorkbook.h"

namespace ledgerlift {

// Reads .ods workbooks (OpenDocument spreadsheets): the package's mimetype
// says what it is, and content.xml holds every worksheet; it is read as a
// stream out of the zip package.
class OdsReader : public StoredWorkbook {
  public:
    static constexpr const char* kMimeType = "application/vnd.oasis.opendocument.spreadsheet";

    // Whether a package's mimetype part says .ods (white space around it
    // aside).
    static bool IsOdsMimeType(const std::string& mimetype);

    void Open(const std::string& path) override;
};

}  // namespace ledgerlift
