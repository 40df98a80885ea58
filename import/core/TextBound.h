#pragma once

#include <cstdint>
#include <string>

namespace ledgerlift {

// The text that one load may hold at once: the shared strings of a workbook,
// and, apart from them, the cell texts that the grids of one load keep. Far
// above any real workbook (two full 65,000-row sheets of long texts take a
// tenth of it) and well under the memory of any machine the program runs on:
// a few bytes of a file can ask for a long text in many cells, and such a
// file is refused rather than let fill the memory.
inline constexpr std::uint64_t kMaxHeldText = std::uint64_t{256} << 20;

// "256 MB": a bound for the operator.
std::string MegabytesText(std::uint64_t bytes);

}  // namespace ledgerlift
