#include "export/FailedRowsWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <map>
#include <stdexcept>

#include "base/AtomicFile.h"
#include "base/TextRules.h"
#include "import/core/CellText.h"
#include "load/GridLayouts.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

// A worksheet cell holds at most this many characters.
constexpr std::size_t kMaxCellText = 32767;

struct SheetPlan {
    const char* sheet;  // as the tally names it
    const char* title;  // the worksheet's name
    const Grid& grid;
    const std::vector<std::string>& header;
    int lastCol;
    std::vector<int> numberCols;
};

// The end of the first count characters of text (all of it when it has no
// more).
std::size_t CharactersEnd(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == count) {
            break;
        }
    }
    return end;
}

// Text that reads as an escape of the file format ("_x0041_" is "A") with
// its underscore escaped ("_x005F_x0041_"), so that it reads back as written.
std::string WithLiteralEscapes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::all_of(text.begin() + static_cast<long>(i) + 2,
                        text.begin() + static_cast<long>(i) + 6,
                        [](unsigned char c) { return std::isxdigit(c) != 0; })) {
            out += "_x005F";
        }
        out += text[i];
    }
    return out;
}

// The number a text is, when the import turns that number into the very same
// text again.
bool ExactNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() &&
           CellText(CellValue::Number(value)) == text;
}

class Writer {
  public:
    // Writes at temporary; the messages name path, where the file goes.
    Writer(const std::string& temporary, const std::string& path) : path_(path) {
        book_ = workbook_new(temporary.c_str());
        if (!book_) {
            throw FileError("The failed rows could not be written to " + path +
                            " (the workbook could not be started).");
        }
        heading_ = workbook_add_format(book_);
        format_set_bold(heading_);
    }
    ~Writer() {
        if (book_) {
            lxw_workbook_free(book_);  // after a failure: nothing more is written
        }
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    lxw_worksheet* AddSheet(const char* title) { return workbook_add_worksheet(book_, title); }
    lxw_format* Heading() const { return heading_; }

    // The grid text as it can stand in the cell at row and col (from 0) of
    // the sheet titled so: cut at a NUL (which no worksheet can hold) and at
    // the longest text a cell takes, counted in characters, each cut noted
    // with the cell; escapes of the file format kept as written.
    std::string Cell(const std::string& text, const char* title, lxw_row_t row, lxw_col_t col) {
        std::size_t nul = text.find('\0');
        std::string out = text.substr(0, nul);
        std::size_t end = CharactersEnd(out, kMaxCellText);
        if (end < out.size() || nul != std::string::npos) {
            out.resize(end);
            std::string cell = std::string(title) + "!" + ColumnLetters(static_cast<int>(col) + 1) +
                               std::to_string(row + 1);
            cuts_.push_back("The text of the cell " + cell + " in " + path_ + " was cut short: " +
                            (end < nul && nul != std::string::npos
                                 ? "a cell holds no NUL."
                                 : "a cell holds at most 32,767 characters."));
        }
        return WithLiteralEscapes(out);
    }
    std::vector<std::string>& Cuts() { return cuts_; }

    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR) {
            throw FileError("The failed rows could not be written to " + path_ + " (" +
                            lxw_strerror(error) + ").");
        }
    }

    void Close() {
        errno = 0;
        lxw_error error = workbook_close(book_);
        int osError = errno;
        book_ = nullptr;
        if (error != LXW_NO_ERROR) {
            std::string why = lxw_strerror(error);
            if (osError == ENOSPC || osError == EFBIG || osError == EDQUOT || osError == EROFS ||
                osError == EACCES) {
                why += ": " + FileFailureReason(osError);
            }
            throw FileError("The failed rows could not be written to " + path_ + " (" + why +
                            "). Nothing was saved under that name.");
        }
    }

  private:
    std::string path_;
    lxw_workbook* book_ = nullptr;
    lxw_format* heading_ = nullptr;
    std::vector<std::string> cuts_;
};

// Grid row of each worksheet row number.
std::map<std::string, int> GridRows(const Grid& grid) {
    std::map<std::string, int> rows;
    for (int r = 1; r < grid.Rows(); ++r) {
        std::string sheetRow(grid.TextMatrix(r, 0));
        if (!sheetRow.empty()) {
            rows.emplace(sheetRow, r);
        }
    }
    return rows;
}

int WriteSheet(Writer& book, const SheetPlan& plan, const std::vector<RowToFix>& rows) {
    lxw_worksheet* sheet = book.AddSheet(plan.title);
    const int last = plan.lastCol;
    for (int c = 1; c <= last; ++c) {
        std::string heading = plan.header.size() > static_cast<std::size_t>(last)
                                  ? plan.header[static_cast<std::size_t>(c)]
                              : c < plan.grid.Cols() ? Trim(std::string(plan.grid.TextMatrix(0, c)))
                                                     : std::string();
        auto col = static_cast<lxw_col_t>(c - 1);
        book.Check(worksheet_write_string(
            sheet, 0, col, book.Cell(heading, plan.title, 0, col).c_str(), book.Heading()));
    }
    book.Check(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(last), kSourceRowHeading,
                                      book.Heading()));
    book.Check(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(last + 1), kReasonHeading,
                                      book.Heading()));
    book.Check(worksheet_set_column(sheet, static_cast<lxw_col_t>(last + 1),
                                    static_cast<lxw_col_t>(last + 1), 90, nullptr));
    worksheet_freeze_panes(sheet, 1, 0);

    std::map<std::string, int> gridRows = GridRows(plan.grid);
    // In worksheet order, each row once (the first reason given).
    std::vector<std::pair<long, const RowToFix*>> mine;
    for (const RowToFix& row : rows) {
        if (row.sheet == plan.sheet) {
            mine.emplace_back(std::strtol(row.sheetRow.c_str(), nullptr, 10), &row);
        }
    }
    std::stable_sort(mine.begin(), mine.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    mine.erase(std::unique(mine.begin(), mine.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }),
               mine.end());
    lxw_row_t out = 1;
    for (const auto& [number, row] : mine) {
        auto found = gridRows.find(row->sheetRow);
        if (found == gridRows.end()) {
            throw std::runtime_error("Worksheet row " + row->sheetRow + " of the " + plan.sheet +
                                     " is no longer in the grid (another workbook was loaded "
                                     "since the run), so the failed rows were not saved.");
        }
        for (int c = 1; c <= last; ++c) {
            std::string text(plan.grid.TextMatrix(found->second, c));
            double value = 0;
            auto col = static_cast<lxw_col_t>(c - 1);
            bool numeric = std::find(plan.numberCols.begin(), plan.numberCols.end(), c) !=
                           plan.numberCols.end();
            if (numeric && ExactNumber(text, value)) {
                book.Check(worksheet_write_number(sheet, out, col, value, nullptr));
            } else if (!text.empty()) {
                book.Check(worksheet_write_string(
                    sheet, out, col, book.Cell(text, plan.title, out, col).c_str(), nullptr));
            }
        }
        book.Check(worksheet_write_number(sheet, out, static_cast<lxw_col_t>(last),
                                          static_cast<double>(number), nullptr));
        auto reason = static_cast<lxw_col_t>(last + 1);
        book.Check(worksheet_write_string(
            sheet, out, reason, book.Cell(row->reason, plan.title, out, reason).c_str(), nullptr));
        ++out;
    }
    return static_cast<int>(out) - 1;
}

}  // namespace

int WriteFailedRowsWorkbook(const std::string& path, const FormControls& form,
                            const std::vector<RowToFix>& rows, std::vector<std::string>* cuts) {
    AtomicFile file(path);
    int written = 0;
    {
        Writer book(file.TemporaryPath(), path);
        using namespace item;
        written +=
            WriteSheet(book,
                       {"items",
                        "Items",
                        form.itemGrid,
                        form.itemHeaderRow,
                        kItemCols - 1,
                        {Qoh, PurchaseRate, Wholesale, Mrp, SalesVat, Cst, PurchaseVat, Rol}},
                       rows);
        written += WriteSheet(book,
                              {"ledgers",
                               "Ledgers",
                               form.ledgerGrid,
                               form.ledgerHeaderRow,
                               kLedgerCols - 1,
                               {ledger::OpeningBalance}},
                              rows);
        book.Close();
        if (cuts) {
            *cuts = std::move(book.Cuts());
        }
    }
    file.Commit();
    return written;
}

}  // namespace ledgerlift
