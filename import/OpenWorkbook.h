#pragma once

#include <memory>
#include <string>
#include <vector>

#include "import/core/TextFormat.h"
#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// The formats that Ledgerlift reads: workbooks, and text exports (CSV, TSV),
// each of whose files is one worksheet.
enum class WorkbookFormat { Xls, Xlsx, Ods, Text };

// Tells a workbook's format by its content, never by its name:
// - a compound file with a Workbook or Book stream: .xls;
// - a compound file holding an encrypted Office Open XML package
//   (EncryptionInfo, EncryptedPackage): refused, protected by a password;
// - a zip package whose main part is an XML workbook: .xlsx (or .xlsm);
// - a zip package whose mimetype (or, without one, its manifest) is an
//   OpenDocument spreadsheet's: .ods;
// - a zip package with a binary workbook (.xlsb): refused, asking for .xlsx;
// - an Excel 2.x, 3.0 or 4.0 file: refused, naming its version;
// - a file whose first bytes are text (TextReader::IsText), or any other
//   file when the operator gives the encoding of text files: a text export;
// - anything else: not a workbook.
// Throws WorkbookError, naming the file, for what it refuses and for a file
// that can't be read.
WorkbookFormat DetectWorkbookFormat(const std::string& path, const TextOptions& text = {});

// A new reader for the format; a text reader reads as the options say.
std::unique_ptr<WorkbookReader> NewWorkbookReader(WorkbookFormat format,
                                                  const TextOptions& options = {});

// The reader the program uses: opens any workbook that Ledgerlift reads with
// the reader of its format, chosen by DetectWorkbookFormat, or several text
// exports as one workbook of a worksheet each.
class AnyWorkbookReader : public WorkbookReader {
  public:
    // How the text files are read, when the operator says.
    explicit AnyWorkbookReader(TextOptions options = {}) : options_(std::move(options)) {}

    void Open(const std::string& path) override;
    // One file of any format; several only when each is text, in the order
    // given. A workbook among several files is refused.
    void OpenFiles(const std::vector<std::string>& paths) override;
    int SheetCount() const override;
    CellValue Cell(int sheet, int row, int col) const override;
    void ReadCellText(int sheet, int row, int col, std::string& text) const override;
    int FormulasWithoutResult(int sheet) const override;
    std::uint64_t FilledRowsBelowHeld(int sheet) const override;
    std::string SheetName(int sheet) const override;
    int LastRow(int sheet) const override;
    int LastColumn(int sheet) const override;
    void ReleaseSheet(int sheet) override;
    std::optional<TextFormat> TextFormatOf(int sheet) const override;
    void Close() override;

  private:
    const WorkbookReader& Inner() const;

    TextOptions options_;
    std::unique_ptr<WorkbookReader> inner_;
};

}  // namespace ledgerlift
