#pragma once

#include <string>

#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// "The text file PATH cannot be loaded: WHAT." The one sentence for every
// fault of a text file, so that each reads the same.
WorkbookError TextRefusal(const std::string& path, const std::string& what);

}  // namespace ledgerlift
