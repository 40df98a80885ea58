#pragma once

#include <cstdint>
#include <string>

namespace ledgerlift {

// Appends one code point to out in UTF-8, the encoding of every text we keep.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

}  // namespace ledgerlift
