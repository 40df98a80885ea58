#include "import/ods/OdsReader.h"

#include "import/core/WorkbookFile.h"
#include "import/ods/OdsContent.h"
#include "import/ods/OdsManifest.h"
#include "import/package/LibraryLog.h"
#include "import/package/ZipPackage.h"

namespace ledgerlift {

bool OdsReader::IsOdsMimeType(const std::string& mimetype) {
    std::size_t first = mimetype.find_first_not_of(" \t\r\n");
    std::size_t last = mimetype.find_last_not_of(" \t\r\n");
    return first != std::string::npos && mimetype.compare(first, last + 1 - first, kMimeType) == 0;
}

namespace {

const char* const kManifest = "META-INF/manifest.xml";

}  // namespace

OdsReader::Kind OdsReader::KindOf(ZipPackage& zip) {
    std::string mediaType;
    if (zip.Has("mimetype")) {
        mediaType = zip.ReadSmall("mimetype", 256);
    } else if (zip.Has(kManifest)) {
        // Some programs leave the mimetype part out; the manifest still
        // says what the package is.
        OdsManifest manifest;
        manifest.Parse(*zip.Open(kManifest));
        if (manifest.mediaType.empty()) {
            return Kind::None;
        }
        mediaType = manifest.mediaType;
    } else {
        return Kind::None;
    }
    return IsOdsMimeType(mediaType) ? Kind::Spreadsheet : Kind::OtherDocument;
}

void OdsReader::Open(const std::string& path) {
    Close();
    CheckReadableFile(path);
    LibraryLogScope quiet;
    ZipPackage zip(path);
    if (KindOf(zip) != Kind::Spreadsheet) {
        throw NotAWorkbook(path);
    }
    if (zip.Has(kManifest)) {
        // Encrypted parts are no XML at all: said so before they are read.
        OdsManifest manifest;
        manifest.Parse(*zip.Open(kManifest));
        if (manifest.encrypted) {
            throw PasswordProtected(path);
        }
    }
    OdsStyles styles;
    if (zip.Has("styles.xml")) {
        styles.Parse(*zip.Open("styles.xml"));
    }
    Loaded(path, OdsContent::Read(*zip.Open("content.xml"), std::move(styles)));
}

}  // namespace ledgerlift
