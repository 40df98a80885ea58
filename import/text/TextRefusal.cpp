#include "import/text/TextRefusal.h"

namespace ledgerlift {

WorkbookError TextRefusal(const std::string& path, const std::string& what) {
    return WorkbookError("The text file " + path + " cannot be loaded: " + what + ".");
}

}  // namespace ledgerlift
