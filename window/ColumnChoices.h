#pragma once

#include <string>

#include "import/core/WorkbookReader.h"
#include "load/ColumnChoice.h"
#include "window/ColumnMemory.h"

namespace ledgerlift {

// The window's sheets and columns chosen by hand: the choice the grids were
// last loaded by, and the memory that keeps a choice per workbook layout
// (see ColumnMemory) so that a workbook laid out alike loads by it again
// without asking.
class ColumnChoices {
  public:
    void SetMemory(ColumnMemory* memory) { memory_ = memory; }

    // For a load of the open book: the choice remembered for its layout, or
    // none. Notes the layout for Remember and Forget.
    ColumnChoice ForLoad(const WorkbookReader& book);
    // Whether the last load's choice came from the memory.
    bool UsedRemembered() const { return usedRemembered_; }
    // Why a choice kept for the last load's layout could not be used (it was
    // then forgotten); "" when there was no such problem.
    const std::string& Problem() const { return problem_; }
    // The choice the last load read by (empty: as found by headings).
    const ColumnChoice& Current() const { return current_; }
    // Whether the memory holds a choice for the last load's layout.
    bool Remembered() const;

    // Keeps choice as the one for the last load's layout, and as current.
    // Gives "" when the memory keeps it, else the sentence that says why not.
    std::string Remember(const ColumnChoice& choice);
    // Drops the choice kept for the last load's layout; the current one
    // stays until the next load.
    void Forget();

  private:
    ColumnMemory* memory_ = nullptr;
    std::string signature_;
    ColumnChoice current_;
    bool usedRemembered_ = false;
    std::string problem_;
};

}  // namespace ledgerlift
