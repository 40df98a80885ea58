#pragma once

#include <string>

namespace ledgerlift {

// A JSON string: quotes, backslashes and control characters escaped, and
// each byte that starts no valid UTF-8 character written as \u00XX, so that
// whatever the text (a path may hold any byte) the output is valid UTF-8.
std::string JsonString(const std::string& text);

}  // namespace ledgerlift
