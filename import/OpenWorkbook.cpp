#include "import/OpenWorkbook.h"

#include <cstring>
#include <fstream>
#include <string_view>

#include "base/Utf8Text.h"
#include "import/core/WorkbookFile.h"
#include "import/ods/OdsReader.h"
#include "import/package/CompoundFile.h"
#include "import/package/LibraryLog.h"
#include "import/package/OfficeDocument.h"
#include "import/package/ZipPackage.h"
#include "import/text/TextReader.h"
#include "import/xls/XlsReader.h"
#include "import/xlsx/XlsxReader.h"

namespace ledgerlift {
namespace {

const unsigned char kCompoundFile[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// The first bytes of a file that tell whether it is text.
constexpr std::size_t kHeadBytes = 64 * 1024;

WorkbookFormat CompoundFileFormat(const std::string& path) {
    CompoundFile ole(path);
    if (!ole.Readable()) {
        throw Damaged(path,
                      "its compound file structure could not be read (it may be cut "
                      "short)");
    }
    if (ole.Stream("Workbook") || ole.Stream("Book")) {
        return WorkbookFormat::Xls;
    }
    if (ole.Stream("EncryptionInfo") || ole.Stream("EncryptedPackage")) {
        throw PasswordProtected(path);
    }
    throw NotAWorkbook(path);
}

WorkbookFormat ZipPackageFormat(const std::string& path) {
    ZipPackage zip(path);
    switch (OdsReader::KindOf(zip)) {
        case OdsReader::Kind::Spreadsheet:
            return WorkbookFormat::Ods;
        case OdsReader::Kind::OtherDocument:
            throw NotAWorkbook(path);
        case OdsReader::Kind::None:
            break;
    }
    switch (OfficeDocument::Find(zip).kind) {
        case OfficeDocument::Kind::Workbook:
            return WorkbookFormat::Xlsx;
        case OfficeDocument::Kind::BinaryWorkbook:
            throw WorkbookError("The workbook " + path +
                                " is an Excel binary workbook (.xlsb), which cannot be loaded. "
                                "Save it as an Excel workbook (.xlsx) and load that.");
        default:
            throw NotAWorkbook(path);
    }
}

}  // namespace

WorkbookFormat DetectWorkbookFormat(const std::string& path, const TextOptions& text) {
    CheckReadableFile(path);
    LibraryLogScope quiet;
    std::string head(kHeadBytes, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
    if (head.size() >= sizeof kCompoundFile &&
        std::memcmp(bytes, kCompoundFile, sizeof kCompoundFile) == 0) {
        return CompoundFileFormat(path);
    }
    if (head.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' &&
        ((bytes[2] == 3 && bytes[3] == 4) || (bytes[2] == 5 && bytes[3] == 6) ||
         (bytes[2] == 7 && bytes[3] == 8))) {
        return ZipPackageFormat(path);
    }
    if (auto format = XlsReader::OlderExcelFormat(std::string_view(head).substr(0, 8))) {
        throw XlsReader::OlderExcelRefusal(path, *format);
    }
    if (!text.encoding.empty() || TextReader::IsText(head)) {
        return WorkbookFormat::Text;
    }
    throw NotAWorkbook(path);
}

std::unique_ptr<WorkbookReader> NewWorkbookReader(WorkbookFormat format,
                                                  const TextOptions& options) {
    switch (format) {
        case WorkbookFormat::Xls:
            return std::make_unique<XlsReader>();
        case WorkbookFormat::Xlsx:
            return std::make_unique<XlsxReader>();
        case WorkbookFormat::Ods:
            return std::make_unique<OdsReader>();
        case WorkbookFormat::Text:
            return std::make_unique<TextReader>(options);
    }
    return nullptr;
}

void AnyWorkbookReader::Open(const std::string& path) {
    Close();
    std::unique_ptr<WorkbookReader> reader =
        NewWorkbookReader(DetectWorkbookFormat(path, options_), options_);
    reader->Open(path);
    inner_ = std::move(reader);
}

void AnyWorkbookReader::OpenFiles(const std::vector<std::string>& paths) {
    if (paths.size() <= 1) {
        Open(paths.empty() ? std::string() : paths[0]);
        return;
    }
    Close();
    for (const std::string& path : paths) {
        if (DetectWorkbookFormat(path, options_) != WorkbookFormat::Text) {
            throw WorkbookError("The workbook " + path +
                                " cannot be loaded together with other files: load a workbook "
                                "alone, or text files (CSV, TSV) together.");
        }
    }
    auto reader = std::make_unique<TextReader>(options_);
    reader->OpenFiles(paths);
    inner_ = std::move(reader);
}

const WorkbookReader& AnyWorkbookReader::Inner() const {
    if (!inner_) {
        throw WorkbookError("No workbook is open.");
    }
    return *inner_;
}

int AnyWorkbookReader::SheetCount() const {
    return inner_ ? inner_->SheetCount() : 0;
}

CellValue AnyWorkbookReader::Cell(int sheet, int row, int col) const {
    return Inner().Cell(sheet, row, col);
}

void AnyWorkbookReader::ReadCellText(int sheet, int row, int col, std::string& text) const {
    Inner().ReadCellText(sheet, row, col, text);
}

int AnyWorkbookReader::FormulasWithoutResult(int sheet) const {
    return Inner().FormulasWithoutResult(sheet);
}

std::uint64_t AnyWorkbookReader::FilledRowsBelowHeld(int sheet) const {
    return Inner().FilledRowsBelowHeld(sheet);
}

std::string AnyWorkbookReader::SheetName(int sheet) const {
    // A name goes into sentences and onto terminals: a NUL would cut the
    // sentence short, an escape sequence drive the terminal.
    return ShownText(Inner().SheetName(sheet));
}

int AnyWorkbookReader::LastRow(int sheet) const {
    return Inner().LastRow(sheet);
}

int AnyWorkbookReader::LastColumn(int sheet) const {
    return Inner().LastColumn(sheet);
}

void AnyWorkbookReader::ReleaseSheet(int sheet) {
    Inner();  // throws when no workbook is open
    inner_->ReleaseSheet(sheet);
}

std::optional<TextFormat> AnyWorkbookReader::TextFormatOf(int sheet) const {
    return Inner().TextFormatOf(sheet);
}

void AnyWorkbookReader::Close() {
    if (inner_) {
        inner_->Close();
        inner_.reset();
    }
}

}  // namespace ledgerlift
