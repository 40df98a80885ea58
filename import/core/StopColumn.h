#pragma once

#include <string_view>

namespace ledgerlift {

// The import reads a worksheet's rows down to the first one whose column B
// is blank. The readers keep that column's state for the rows below those
// they hold, so that the rows the import leaves out can be counted; the rule
// is here for both.

// Column B, 1-based.
inline constexpr int kStopColumn = 2;

// Whether a cell's text is blank by the stop rule: nothing but spaces once
// upper-cased and trimmed (upper-casing changes no space).
inline bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace ledgerlift
