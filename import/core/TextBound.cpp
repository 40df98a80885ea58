#include "import/core/TextBound.h"

namespace ledgerlift {

std::string MegabytesText(std::uint64_t bytes) {
    return bytes < (1 << 20) ? std::to_string(bytes >> 10) + " KB"
                             : std::to_string(bytes >> 20) + " MB";
}

}  // namespace ledgerlift
