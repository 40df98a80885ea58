#include "import/OpenWorkbook.h"

#include <cstring>
#include <fstream>

#include "base/Utf8Text.h"
#include "import/core/WorkbookFile.h"
#include "import/ods/OdsReader.h"
#include "import/package/CompoundFile.h"
#include "import/package/LibraryLog.h"
#include "import/package/OfficeDocument.h"
#include "import/package/ZipPackage.h"
#include "import/xls/XlsReader.h"
#include "import/xlsx/XlsxReader.h"

namespace ledgerlift {
namespace {

const unsigned char kCompoundFile[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

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

WorkbookFormat DetectWorkbookFormat(const std::string& path) {
    CheckReadableFile(path);
    LibraryLogScope quiet;
    unsigned char head[8] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (in.gcount() == sizeof head && std::memcmp(head, kCompoundFile, sizeof head) == 0) {
        return CompoundFileFormat(path);
    }
    if (in.gcount() >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6) ||
         (head[2] == 7 && head[3] == 8))) {
        return ZipPackageFormat(path);
    }
    std::string_view bytes(reinterpret_cast<const char*>(head),
                           static_cast<std::size_t>(in.gcount()));
    if (auto format = XlsReader::OlderExcelFormat(bytes)) {
        throw XlsReader::OlderExcelRefusal(path, *format);
    }
    throw NotAWorkbook(path);
}

std::unique_ptr<WorkbookReader> NewWorkbookReader(WorkbookFormat format) {
    switch (format) {
        case WorkbookFormat::Xls:
            return std::make_unique<XlsReader>();
        case WorkbookFormat::Xlsx:
            return std::make_unique<XlsxReader>();
        case WorkbookFormat::Ods:
            return std::make_unique<OdsReader>();
    }
    return nullptr;
}

void AnyWorkbookReader::Open(const std::string& path) {
    Close();
    std::unique_ptr<WorkbookReader> reader = NewWorkbookReader(DetectWorkbookFormat(path));
    reader->Open(path);
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

void AnyWorkbookReader::Close() {
    if (inner_) {
        inner_->Close();
        inner_.reset();
    }
}

}  // namespace ledgerlift
