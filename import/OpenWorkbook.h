#pragma once

#include <memory>
#include <string>

#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// The formats that Ledgerlift reads.
enum class WorkbookFormat { Xls, Xlsx, Ods };

// Tells a workbook's format by its content, never by its name:
// - a compound file with a Workbook or Book stream: .xls;
// - a compound file holding an encrypted Office Open XML package
//   (EncryptionInfo, EncryptedPackage): refused, protected by a password;
// - a zip package whose main part is an XML workbook: .xlsx (or .xlsm);
// - a zip package whose mimetype (or, without one, its manifest) is an
//   OpenDocument spreadsheet's: .ods;
// - a zip package with a binary workbook (.xlsb): refused, asking for .xlsx;
// - an Excel 2.x, 3.0 or 4.0 file: refused, naming its version;
// - anything else: not a workbook.
// Throws WorkbookError, naming the file, for what it refuses and for a file
// that can't be read.
WorkbookFormat DetectWorkbookFormat(const std::string& path);

// A new reader for the format.
std::unique_ptr<WorkbookReader> NewWorkbookReader(WorkbookFormat format);

// The reader the program uses: opens any workbook that Ledgerlift reads with
// the reader of its format, chosen by DetectWorkbookFormat.
class AnyWorkbookReader : public WorkbookReader {
  public:
    void Open(const std::string& path) override;
    int SheetCount() const override;
    CellValue Cell(int sheet, int row, int col) const override;
    void ReadCellText(int sheet, int row, int col, std::string& text) const override;
    int FormulasWithoutResult(int sheet) const override;
    std::uint64_t FilledRowsBelowHeld(int sheet) const override;
    std::string SheetName(int sheet) const override;
    int LastRow(int sheet) const override;
    int LastColumn(int sheet) const override;
    void ReleaseSheet(int sheet) override;
    void Close() override;

  private:
    const WorkbookReader& Inner() const;

    std::unique_ptr<WorkbookReader> inner_;
};

}  // namespace ledgerlift
