#pragma once

#include <string>

#include "import/core/StoredWorkbook.h"

namespace ledgerlift {

class ZipPackage;

// Reads .ods workbooks (OpenDocument spreadsheets): the package's mimetype
// says what it is (or, in a package written without one, its manifest), and
// content.xml holds every worksheet; it is read as a stream out of the zip
// package. A package whose manifest says a part is encrypted is refused as
// protected by a password.
class OdsReader : public StoredWorkbook {
  public:
    static constexpr const char* kMimeType = "application/vnd.oasis.opendocument.spreadsheet";

    // Whether a package's mimetype part says .ods (white space around it
    // aside).
    static bool IsOdsMimeType(const std::string& mimetype);

    // What a zip package is as an OpenDocument file: by its mimetype part,
    // or, when it has none, by its manifest's media type; None when it has
    // neither.
    enum class Kind { None, Spreadsheet, OtherDocument };
    static Kind KindOf(ZipPackage& zip);

    void Open(const std::string& path) override;
};

}  // namespace ledgerlift
