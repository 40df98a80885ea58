#pragma once

#include <string>

namespace ledgerlift {

// Text as a statement prints it: valid UTF-8 (a byte that starts no valid
// character, as an old workbook may have left in a name, becomes U+FFFD),
// and no control character (each becomes a space), so that a name can
// neither break a line nor upset a renderer.
std::string PrintableText(const std::string& text);

}  // namespace ledgerlift
