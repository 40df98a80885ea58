#pragma once

#include <string>

namespace ledgerlift {

// A JSON string: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

}  // namespace ledgerlift
