#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/core/SheetStore.h"
#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// One worksheet as a reader leaves it.
struct StoredSheet {
    std::string name;
    SheetStore cells;
    // Formula cells whose file holds no calculated result.
    long formulasWithoutResult = 0;
    // Whether the cells were let go once the import had copied them.
    bool released = false;
};

// What the three readers share once a workbook is read: its worksheets in
// memory and every lookup of their cells. A reader's Open reads the whole file
// and hands its sheets over with Loaded.
class StoredWorkbook : public WorkbookReader {
  public:
    // The memory that a workbook's worksheets may take in all, some four times
    // what two full 65,000-row sheets need. A file that asks for more (a few
    // bytes can ask for a row 256 columns wide, or a long text in many cells)
    // is refused rather than let fill the memory.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 30;
    // Throws the refusal when bytes is beyond kMaxBytes.
    static void CheckRoom(const std::string& path, std::uint64_t bytes);

    int SheetCount() const override { return static_cast<int>(sheets_.size()); }
    CellValue Cell(int sheet, int row, int col) const override;
    void ReadCellText(int sheet, int row, int col, std::string& text) const override;
    int FormulasWithoutResult(int sheet) const override;
    std::string SheetName(int sheet) const override;
    int LastRow(int sheet) const override;
    int LastColumn(int sheet) const override;
    std::uint64_t FilledRowsBelowHeld(int sheet) const override;
    void ReleaseSheet(int sheet) override;
    void Close() override;

  protected:
    void Loaded(std::string path, std::vector<StoredSheet> sheets);
    const std::string& Path() const { return path_; }

  private:
    const StoredSheet& Sheet(int sheet) const;
    // The sheet, whose cells must still be held.
    const StoredSheet& HeldSheet(int sheet) const;

    std::string path_;
    std::vector<StoredSheet> sheets_;
};

}  // namespace ledgerlift
