#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/core/TextBound.h"

namespace ledgerlift {

// The cell texts that the grids of one load keep, both sheets and their
// heading rows together, counted against a bound far above any real workbook
// (kMaxHeldText): a few bytes of a file can show one long text in every cell
// of a sheet, and such a file is refused rather than let fill the memory.
// A copy counts on from where the original stood, apart from it.
class GridTextBudget {
  public:
    explicit GridTextBudget(std::string workbook, std::uint64_t limit = kMaxHeldText)
        : workbook_(std::move(workbook)), limit_(limit) {}

    // Counts a text that the load is about to keep for a row of the sheet
    // ("worksheet 1 (items)"). Throws WorkbookError naming the workbook, the
    // sheet and the row once the texts go beyond the bound.
    void Spend(std::size_t bytes, const std::string& sheet, int row);

  private:
    std::string workbook_;
    std::uint64_t limit_;
    std::uint64_t used_ = 0;
};

}  // namespace ledgerlift
