#include "import/XlsReader.h"

#include <freexl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "base/TextRules.h"

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

struct GObjectReleaser {
    void operator()(void* p) const {
        if (p) {
            g_object_unref(p);
        }
    }
};

}  // namespace

XlsReader::~XlsReader() {
    Close();
}

std::string XlsReader::ReadWorkbookStream(const std::string& path) {
    static const bool initialised = [] {
        gsf_init();
        return true;
    }();
    (void)initialised;
    GError* error = nullptr;
    std::unique_ptr<GsfInput, GObjectReleaser> file(gsf_input_stdio_new(path.c_str(), &error));
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    if (!file) {
        throw WorkbookError("The workbook " + path + " could not be read.");
    }
    std::unique_ptr<GsfInfile, GObjectReleaser> ole(gsf_infile_msole_new(file.get(), &error));
    if (error) {
        g_error_free(error);
    }
    if (!ole) {
        throw WorkbookError("The file " + path +
                            " is not an Excel 97-2003 workbook (.xls) and cannot be loaded.");
    }
    std::unique_ptr<GsfInput, GObjectReleaser> stream(
        gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!stream) {
        stream.reset(gsf_infile_child_by_name(ole.get(), "Book"));
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
    struct stat st {};
    if (path.empty()) {
        throw WorkbookError("No workbook was chosen.");
    }
    if (stat(path.c_str(), &st) != 0) {
        throw WorkbookError("The workbook " + path + " could not be found.");
    }
    if (!S_ISREG(st.st_mode)) {
        throw WorkbookError("The workbook " + path + " is not a file.");
    }
    if (access(path.c_str(), R_OK) != 0) {
        throw WorkbookError("The workbook " + path + " could not be read: permission denied.");
    }
    scan_.Scan(ReadWorkbookStream(path));
    if (scan_.Encrypted()) {
        throw WorkbookError("The workbook " + path +
                            " is protected with a password. Save it without a password and load "
                            "it again.");
    }
    path_ = path;
    if (scan_.BiffVersion() != 0) {
        // Excel 5 to 2003 workbooks: every cell comes from our own scan.
        sheetCount_ = static_cast<int>(scan_.Sheets().size());
        return;
    }
    // Older workbooks: the general reader, which knows them.
    const void* handle = nullptr;
    int rc = freexl_open(path.c_str(), &handle);
    if (rc != FREEXL_OK) {
        if (handle) {
            freexl_close(handle);
        }
        throw WorkbookError("The workbook " + path + " could not be loaded: " + Reason(rc) + ".");
    }
    unsigned info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        freexl_close(handle);
        throw WorkbookError("The workbook " + path +
                            " is protected with a password. Save it without a password and load "
                            "it again.");
    }
    unsigned count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    handle_ = handle;
    sheetCount_ = static_cast<int>(count);
    activeSheet_ = -1;
}

void XlsReader::Close() {
    if (handle_) {
        freexl_close(handle_);
        handle_ = nullptr;
    }
    path_.clear();
    sheetCount_ = 0;
    activeSheet_ = -1;
}

CellValue XlsReader::Cell(int sheet, int row, int col) const {
    if (path_.empty()) {
        throw WorkbookError("No workbook is open.");
    }
    if (sheet < 1 || sheet > sheetCount_) {
        throw WorkbookError("The workbook " + path_ + " has no worksheet " + std::to_string(sheet) +
                            ": it has " + std::to_string(sheetCount_) + ".");
    }
    if (row < 1 || col < 1 || row > 65536 || col > 256) {
        return CellValue::Empty();
    }
    if (!handle_) {
        const CellValue* cell = scan_.Sheets()[sheet - 1].Find(row - 1, col - 1);
        return cell ? *cell : CellValue::Empty();
    }
    return FreeXlCell(sheet, row, col);
}

CellValue XlsReader::FreeXlCell(int sheet, int row, int col) const {
    if (activeSheet_ != sheet) {
        if (freexl_select_active_worksheet(handle_, static_cast<unsigned short>(sheet - 1)) !=
            FREEXL_OK) {
            throw WorkbookError("Worksheet " + std::to_string(sheet) + " of " + path_ +
                                " could not be read.");
        }
        freexl_worksheet_dimensions(handle_, &rows_, &cols_);
        activeSheet_ = sheet;
    }
    if (static_cast<unsigned>(row) > rows_ || static_cast<unsigned>(col) > cols_) {
        return CellValue::Empty();
    }
    FreeXL_CellValue cell;
    int rc = freexl_get_cell_value(handle_, static_cast<unsigned>(row - 1),
                                   static_cast<unsigned short>(col - 1), &cell);
    if (rc != FREEXL_OK) {
        throw WorkbookError("The cell in row " + std::to_string(row) + ", column " +
                            std::to_string(col) + " of worksheet " + std::to_string(sheet) +
                            " of " + path_ + " could not be read.");
    }
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

}  // namespace ledgerlift
