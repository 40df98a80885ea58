#include "export/TemplateWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "base/AtomicFile.h"
#include "import/OpenWorkbook.h"
#include "load/FieldNotes.h"
#include "load/GridLayouts.h"

namespace ledgerlift {
namespace {

// The rows below the captions that the lists and formats cover.
constexpr lxw_row_t kLastRow = kLastSheetRow - 1;

class TemplateWriter {
  public:
    TemplateWriter(const std::string& temporary, const std::string& path) : path_(path) {
        book_ = workbook_new(temporary.c_str());
        if (!book_) {
            Fail("the workbook could not be started");
        }
        caption_ = workbook_add_format(book_);
        format_set_bold(caption_);
    }
    ~TemplateWriter() {
        if (book_) {
            lxw_workbook_free(book_);
        }
    }
    TemplateWriter(const TemplateWriter&) = delete;
    TemplateWriter& operator=(const TemplateWriter&) = delete;

    lxw_worksheet* AddSheet(const char* name) { return workbook_add_worksheet(book_, name); }
    lxw_format* Caption() const { return caption_; }

    // The format of a number format text, made once.
    lxw_format* NumberFormat(const std::string& text) {
        if (text.empty()) {
            return nullptr;
        }
        auto [it, added] = formats_.try_emplace(text, nullptr);
        if (added) {
            it->second = workbook_add_format(book_);
            format_set_num_format(it->second, text.c_str());
        }
        return it->second;
    }

    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR) {
            Fail(lxw_strerror(error));
        }
    }

    void Close() {
        errno = 0;
        lxw_error error = workbook_close(book_);
        int osError = errno;
        book_ = nullptr;
        if (error != LXW_NO_ERROR) {
            std::string why = lxw_strerror(error);
            if (osError != 0) {
                why += ": ";
                why += std::strerror(osError);
            }
            Fail(why);
        }
    }

  private:
    [[noreturn]] void Fail(const std::string& why) const {
        std::string sentence = "The template could not be written to ";
        sentence += path_;
        sentence += " (";
        sentence += why;
        sentence += "). Nothing was saved under that name.";
        throw FileError(sentence);
    }

    std::string path_;
    lxw_workbook* book_ = nullptr;
    lxw_format* caption_ = nullptr;
    std::map<std::string, lxw_format*> formats_;
};

void AddList(TemplateWriter& book, lxw_worksheet* sheet, lxw_col_t col,
             std::vector<const char*> values) {
    values.push_back(nullptr);
    lxw_data_validation validation{};
    validation.validate = LXW_VALIDATION_TYPE_LIST;
    validation.value_list = const_cast<char**>(values.data());
    book.Check(worksheet_data_validation_range(sheet, 1, col, kLastRow, col, &validation));
}

// A list of names from the Lists sheet, that warns of another name but takes it.
void AddNameList(TemplateWriter& book, lxw_worksheet* sheet, lxw_col_t col,
                 const std::string& range, const char* what) {
    std::string formula = "=Lists!";
    formula += range;
    std::string message = "This is not one of the company's ";
    message += what;
    message += ". Keep it to add it, or choose one from the list.";
    lxw_data_validation validation{};
    validation.validate = LXW_VALIDATION_TYPE_LIST_FORMULA;
    validation.value_formula = formula.data();
    validation.error_type = LXW_VALIDATION_ERROR_TYPE_WARNING;
    validation.error_title = const_cast<char*>("Not in the company");
    validation.error_message = message.data();
    book.Check(worksheet_data_validation_range(sheet, 1, col, kLastRow, col, &validation));
}

// Row 1 of a sheet: the captions, each with its note, bold, frozen, and the
// columns as wide as their captions and formatted for their values.
void WriteCaptions(TemplateWriter& book, lxw_worksheet* sheet, SheetKind kind) {
    for (const FieldInfo& field : Fields(kind)) {
        const FieldNote& note = NoteOf(kind, field.gridCol);
        const auto col = static_cast<lxw_col_t>(field.gridCol - 1);
        book.Check(worksheet_write_string(sheet, 0, col, field.caption, book.Caption()));
        book.Check(worksheet_write_comment(sheet, 0, col, note.note));
        double width = std::max<double>(12, static_cast<double>(std::strlen(field.caption)) + 4);
        book.Check(
            worksheet_set_column(sheet, col, col, width, book.NumberFormat(note.numberFormat)));
        if (note.value == FieldValue::YesNo) {
            AddList(book, sheet, col, {"YES", "NO"});
        } else if (note.value == FieldValue::DrCr) {
            AddList(book, sheet, col, {"Dr", "Cr"});
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
}

// "$A$1:$A$3": the cells of column A that hold count names from row first.
std::string Range(int first, std::size_t count) {
    std::string range = "$A$";
    range += std::to_string(first);
    range += ":$A$";
    range += std::to_string(first + static_cast<int>(count) - 1);
    return range;
}

// The company's names, one column with a blank row between the two lists,
// so that no row of it reads as a heading row; the drop-downs point at it.
void WriteLists(TemplateWriter& book, lxw_worksheet* items, lxw_worksheet* ledgers,
                const TemplateLists& lists) {
    lxw_worksheet* sheet = book.AddSheet("Lists");
    lxw_row_t row = 0;
    for (const std::string& name : lists.categories) {
        book.Check(worksheet_write_string(sheet, row++, 0, name.c_str(), nullptr));
    }
    const int groupsFrom = static_cast<int>(row) + 2;
    row += 1;
    for (const std::string& name : lists.accountGroups) {
        book.Check(worksheet_write_string(sheet, row++, 0, name.c_str(), nullptr));
    }
    worksheet_hide(sheet);
    if (!lists.categories.empty()) {
        AddNameList(book, items, item::Category - 1, Range(1, lists.categories.size()),
                    "categories");
    }
    if (!lists.accountGroups.empty()) {
        AddNameList(book, ledgers, ledger::AccountGroup - 1,
                    Range(groupsFrom, lists.accountGroups.size()), "account groups");
    }
}

// The written file as the load reads it, every sheet of it. A template
// that does not load is not saved, never said to be.
void RequireReadable(const std::string& temporary, const std::string& path,
                     const TemplateLists& lists) {
    std::string why;
    try {
        AnyWorkbookReader book;
        book.Open(temporary);
        bool withLists = !lists.categories.empty() || !lists.accountGroups.empty();
        if (book.SheetCount() != (withLists ? 3 : 2)) {
            why = "it holds other sheets than were written";
        }
        book.Close();
    } catch (const WorkbookError& error) {
        why = error.what();
    }
    if (!why.empty()) {
        throw FileError("The template written to " + path + " could not be read back (" + why +
                        "). Nothing was saved under that name.");
    }
}

}  // namespace

void WriteTemplateWorkbook(const std::string& path, const TemplateLists& lists) {
    AtomicFile file(path);
    {
        TemplateWriter book(file.TemporaryPath(), path);
        lxw_worksheet* items = book.AddSheet("Items");
        lxw_worksheet* ledgers = book.AddSheet("Ledgers");
        WriteCaptions(book, items, SheetKind::Items);
        WriteCaptions(book, ledgers, SheetKind::Ledgers);
        if (!lists.categories.empty() || !lists.accountGroups.empty()) {
            WriteLists(book, items, ledgers, lists);
        }
        book.Close();
    }
    RequireReadable(file.TemporaryPath(), path, lists);
    file.Commit();
}

}  // namespace ledgerlift
