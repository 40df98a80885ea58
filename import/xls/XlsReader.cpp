#include "import/xls/XlsReader.h"

#include <freexl.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "import/core/TextBound.h"
#include "import/core/WorkbookFile.h"
#include "import/package/CompoundFile.h"
#include "import/package/LibraryLog.h"
#include "import/xls/BiffScanner.h"

namespace ledgerlift {
namespace {

std::string Reason(int rc) {
    switch (rc) {
        case FREEXL_INSUFFICIENT_MEMORY:
            return "there is not enough memory to read it";
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_CFBF_INVALID_SIGNATURE:
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return "it is not an Excel 97-2003 workbook (.xls)";
        default:
            return "it is damaged (error " + std::to_string(rc) + " while reading it)";
    }
}

struct FreeXlCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};

CellValue FreeXlValue(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
            return CellValue::Number(cell.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return CellValue::Number(cell.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return CellValue::Text(cell.value.text_value ? cell.value.text_value : "");
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME: {
            // Already yyyy-mm-dd, yyyy-mm-dd hh:mm:ss or hh:mm:ss; a date at
            // midnight drops its time of day.
            std::string text = cell.value.text_value ? cell.value.text_value : "";
            if (text.size() == 19 && text.compare(10, 9, " 00:00:00") == 0) {
                text.resize(10);
            }
            return CellValue::Text(text);
        }
        default:
            return CellValue::Empty();
    }
}

}  // namespace

std::optional<std::string> XlsReader::OlderExcelFormat(std::string_view head) {
    if (head.size() < 8) {
        return std::nullopt;
    }
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(head[at]) |
                                     (static_cast<unsigned char>(head[at + 1]) << 8));
    };
    // The first record is a BOF: its type tells the version, its length is
    // that of a BOF, and it says a worksheet, chart, macro sheet or
    // workbook follows.
    unsigned length = u16(2);
    unsigned kind = u16(6);
    if (length < 4 || length > 16 ||
        (kind != 0x0010 && kind != 0x0020 && kind != 0x0040 && kind != 0x0100)) {
        return std::nullopt;
    }
    switch (u16(0)) {
        case 0x0009:
            return "Excel 2.x";
        case 0x0209:
            return "Excel 3.0";
        case 0x0409:
            return "Excel 4.0";
        default:
            return std::nullopt;
    }
}

WorkbookError XlsReader::OlderExcelRefusal(const std::string& path, const std::string& format) {
    return WorkbookError("The file " + path + " is an " + format +
                         " file, a format older than Excel 5 that cannot be loaded. Open it in "
                         "a spreadsheet program, save it as an Excel workbook (.xlsx) and load "
                         "that.");
}

std::string XlsReader::ReadWorkbookStream(const std::string& path) {
    LibraryLogScope quiet;
    CompoundFile ole(path);
    if (!ole.Readable()) {
        std::ifstream in(path, std::ios::binary);
        std::string head(8, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        if (auto format = OlderExcelFormat(head)) {
            throw OlderExcelRefusal(path, *format);
        }
        throw WorkbookError("The file " + path +
                            " is not an Excel 97-2003 workbook (.xls) and cannot be loaded.");
    }
    GObjectPtr<GsfInput> stream = ole.Stream("Workbook");
    if (!stream) {
        stream = ole.Stream("Book");
    }
    if (!stream) {
        throw WorkbookError("The file " + path +
                            " holds no Excel workbook (.xls) and cannot be loaded.");
    }
    gsf_off_t size = gsf_input_size(stream.get());
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !gsf_input_read(stream.get(), static_cast<std::size_t>(size),
                                    reinterpret_cast<guint8*>(bytes.data()))) {
        throw WorkbookError("The workbook " + path + " is damaged: its data could not be read.");
    }
    return bytes;
}

void XlsReader::Open(const std::string& path) {
    Close();
    CheckReadableFile(path);
    BiffScanner scan;
    scan.Scan(ReadWorkbookStream(path));
    if (scan.Encrypted()) {
        throw PasswordProtected(path);
    }
    if (scan.SheetsTooLarge() > 0) {
        StoredWorkbook::CheckRoom(path, scan.SheetsTooLarge());
    }
    if (scan.SharedStringsTooLarge()) {
        throw WorkbookError("The workbook " + path +
                            " is refused: its shared strings hold more than " +
                            MegabytesText(scan.TextLimit()) +
                            " of text, far beyond any real workbook. It is not loaded.");
    }
    if (scan.BiffVersion() != 0) {
        // Excel 5 to 2003 workbooks: every cell comes from our own scan.
        Loaded(path, scan.TakeSheets());
        return;
    }
    Loaded(path, ReadOlderWorkbook(path));
}

std::vector<StoredSheet> XlsReader::ReadOlderWorkbook(const std::string& path) {
    // Older workbooks: the general reader, which knows them; its cells are
    // copied into the same store as every other reader's.
    const void* raw = nullptr;
    int rc = freexl_open(path.c_str(), &raw);
    std::unique_ptr<const void, FreeXlCloser> handle(raw);
    if (rc != FREEXL_OK) {
        throw WorkbookError("The workbook " + path + " could not be loaded: " + Reason(rc) + ".");
    }
    unsigned info = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        throw PasswordProtected(path);
    }
    unsigned count = 0;
    freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &count);
    std::vector<StoredSheet> sheets(count);
    for (unsigned s = 0; s < count; ++s) {
        unsigned rows = 0;
        unsigned short cols = 0;
        if (freexl_select_active_worksheet(raw, static_cast<unsigned short>(s)) != FREEXL_OK ||
            freexl_worksheet_dimensions(raw, &rows, &cols) != FREEXL_OK) {
            throw WorkbookError("Worksheet " + std::to_string(s + 1) + " of " + path +
                                " could not be read.");
        }
        rows = std::min(rows, SheetStore::kRows);
        cols = static_cast<unsigned short>(std::min<unsigned>(cols, SheetStore::kCols));
        for (unsigned r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue cell;
                if (freexl_get_cell_value(raw, r, c, &cell) != FREEXL_OK) {
                    throw WorkbookError("The cell in row " + std::to_string(r + 1) + ", column " +
                                        std::to_string(c + 1) + " of worksheet " +
                                        std::to_string(s + 1) + " of " + path +
                                        " could not be read.");
                }
                CellValue value = FreeXlValue(cell);
                if (value.kind != CellValue::Kind::Empty) {
                    sheets[s].cells.Put(r, c, std::move(value));
                }
            }
        }
    }
    return sheets;
}

}  // namespace ledgerlift
