#include "import/text/TextSheet.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "import/core/SheetStore.h"
#include "import/core/TextBound.h"
#include "import/core/WorkbookFile.h"
#include "import/text/DelimitedRows.h"
#include "import/text/DelimiterChoice.h"
#include "import/text/RowFit.h"
#include "import/text/TextDecoding.h"
#include "import/text/TextRefusal.h"

namespace ledgerlift {
namespace {

// The file's bytes. A file larger than the text a load may hold is refused
// before it is read: its cells could not be held.
std::string ReadBytes(const std::string& path, std::uint64_t& heldBytes) {
    CheckReadableFile(path);
    std::error_code error;
    std::uint64_t size = std::filesystem::file_size(path, error);
    if (error) {
        throw TextRefusal(path, "its size could not be read (" + error.message() + ")");
    }
    if (size > kMaxHeldText - heldBytes) {
        throw TextRefusal(path, "it would take the text of one load beyond " +
                                    MegabytesText(kMaxHeldText) +
                                    ", far beyond any export of a worksheet's rows");
    }
    std::string bytes(size, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (in.bad()) {
        throw TextRefusal(path, "it could not be read");
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    heldBytes += bytes.size();
    return bytes;
}

char CheckedDelimiter(const std::string& path, char delimiter) {
    auto c = static_cast<unsigned char>(delimiter);
    if (c < 0x20 ? c != '\t' : (c >= 0x7F || c == '"' || c == ' ')) {
        throw TextRefusal(path, "the character with the code " + std::to_string(c) +
                                    " cannot separate its fields");
    }
    return delimiter;
}

void RefuseMisfit(const std::string& path, const DelimitedRows& rows, RowFit fit,
                  std::size_t fields, std::size_t headings, char delimiter) {
    std::string what = "line " + std::to_string(rows.Line()) + " has " + std::to_string(fields) +
                       " " + DelimiterName(delimiter) +
                       "-separated fields where the heading line has " + std::to_string(headings);
    if (fit == RowFit::TooMany) {
        what += ", and one beyond them holds something";
    }
    throw TextRefusal(path, what);
}

// Puts the row's fields in row `row` (0-based) of the sheet.
void PutRow(const std::string& path, const DelimitedRows& rows, std::uint32_t row,
            const std::vector<std::string>& fields, SheetStore& cells) {
    for (std::size_t col = 0; col < fields.size(); ++col) {
        if (fields[col].empty()) {
            continue;
        }
        if (col >= SheetStore::kCols) {
            throw TextRefusal(path, "line " + std::to_string(rows.Line()) +
                                        " has a field in column " + std::to_string(col + 1) +
                                        ", beyond the " + std::to_string(SheetStore::kCols) +
                                        " columns a worksheet holds");
        }
        cells.Put(row, static_cast<std::uint32_t>(col), cells.Text(fields[col]));
    }
}

bool IsBlankRow(const std::vector<std::string>& fields) {
    return fields.size() == 1 && fields[0].empty();
}

}  // namespace

StoredSheet ReadTextSheet(const std::string& path, const TextOptions& options, TextFormat& format,
                          std::uint64_t& heldBytes) {
    DecodedText decoded = DecodeText(path, ReadBytes(path, heldBytes), options.encoding);
    format = decoded.format;
    format.delimiterGiven = options.delimiter != 0;
    format.delimiter = format.delimiterGiven ? CheckedDelimiter(path, options.delimiter)
                                             : ChooseDelimiter(path, decoded.text);
    StoredSheet sheet;
    sheet.name = std::filesystem::path(path).stem().string();
    DelimitedRows rows(path, decoded.text, format.delimiter);
    std::vector<std::string> headings;
    std::vector<std::string> fields;
    if (rows.Next(headings)) {
        PutRow(path, rows, 0, headings, sheet.cells);
    }
    for (std::uint64_t row = 1; rows.Next(fields); ++row) {
        RowFit fit = FitUnderHeadings(headings, fields);
        if (fit != RowFit::Fits) {
            RefuseMisfit(path, rows, fit, fields.size(), headings.size(), format.delimiter);
        }
        if (row >= SheetStore::kRows) {
            if (IsBlankRow(fields)) {
                continue;  // blank lines at the end
            }
            throw TextRefusal(path, "it holds more than " + std::to_string(SheetStore::kRows) +
                                        " rows (line " + std::to_string(rows.Line()) +
                                        "), the most a worksheet holds");
        }
        PutRow(path, rows, static_cast<std::uint32_t>(row), fields, sheet.cells);
    }
    StoredWorkbook::CheckRoom(path, sheet.cells.Bytes());
    return sheet;
}

}  // namespace ledgerlift
