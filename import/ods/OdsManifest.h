#pragma once

#include <string>

#include "import/core/PartReader.h"

namespace ledgerlift {

// What the manifest of an OpenDocument package (META-INF/manifest.xml)
// says: the media type of the package as a whole (its entry for "/"), and
// whether any of its parts is encrypted, which only a password opens.
struct OdsManifest {
    std::string mediaType;
    bool encrypted = false;

    // Throws WorkbookError naming the part when it is not well-formed.
    void Parse(PartReader& part);
};

}  // namespace ledgerlift
