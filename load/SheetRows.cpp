#include "load/SheetRows.h"

#include <algorithm>
#include <limits>

#include "base/TextRules.h"
#include "import/core/StopColumn.h"
#include "load/FieldWords.h"
#include "load/GridLayouts.h"
#include "load/HeadingWords.h"

namespace ledgerlift {
namespace {

// A field that says nothing by itself: empty, blanks, 0, YES, NO, Dr, Cr.
bool SaysNothing(const std::string& text) {
    std::string t = Upper(std::string(TrimBlanks(text)));
    return t.empty() || t == "0" || t == "YES" || t == "NO" || t == "DR" || t == "CR";
}

// The key columns: item code and name; ledger alias and name.
bool KeyFilled(const std::vector<std::string>& cells) {
    return !IsBlankText(cells[1]) || !IsBlankText(cells[2]);
}

void ReadFields(const WorkbookReader& book, const SheetPlan& plan, int row,
                std::vector<std::string>& cells) {
    cells[0] = std::to_string(row);
    for (std::size_t c = 1; c < cells.size(); ++c) {
        int column = plan.columns.ColumnOf(static_cast<int>(c));
        if (column > 0) {
            book.ReadCellText(plan.sheet, row, column, cells[c]);
        } else {
            cells[c].clear();
        }
    }
}

bool AnyFilled(const std::vector<std::string>& cells) {
    return std::any_of(cells.begin() + 1, cells.end(),
                       [](const std::string& text) { return !IsBlankText(text); });
}

// Whether the text is one of the names of the field of grid column col, no
// word more or less ("Ledger Name", "Party" under Ledger Name; never "Ledger
// number 1", which only holds a name's word).
bool NamesItsField(const std::string& text, SheetKind kind, int col) {
    std::vector<std::string> words = HeadingWords(text);
    if (words.empty()) {
        return false;
    }
    std::sort(words.begin(), words.end());
    for (const FieldName& name : WordsOfFields(kind).names) {
        if (name.gridCol == col && name.words.size() == words.size()) {
            std::vector<std::string> named = name.words;
            std::sort(named.begin(), named.end());
            if (named == words) {
                return true;
            }
        }
    }
    return false;
}

// Whether two or more of the row's texts are names of the very fields of
// their columns: a row of headings. A heading row names a key (item code
// or name, ledger alias or name), so a row whose keys name no field is
// looked at no further: a data row costs no more than that.
bool ReadsAsHeadings(const std::vector<std::string>& cells, SheetKind kind) {
    auto names = [&](std::size_t c) { return NamesItsField(cells[c], kind, static_cast<int>(c)); };
    if (!names(1) && !names(2)) {
        return false;
    }
    int named = 0;
    for (std::size_t c = 1; c < cells.size() && named < 2; ++c) {
        named += names(c) ? 1 : 0;
    }
    return named >= 2;
}

std::string NoKeySentence(const SheetPlan& plan, int row) {
    return std::string(RowWord(plan.kind)) + " row " + std::to_string(row) +
           (plan.kind == SheetKind::Items ? ": no item code or name"
                                          : ": no ledger name or alias") +
           "; the row is not migrated.";
}

}  // namespace

int RowsBelowLimit(const WorkbookReader& book, const SheetPlan& plan) {
    std::vector<std::string> cells(plan.columns.fields.size());
    std::uint64_t count = 0;
    int last = std::min(book.LastRow(plan.sheet), static_cast<int>(WorkbookReader::kHeldRows));
    for (int r = kLastSheetRow + 1; r <= last; ++r) {
        ReadFields(book, plan, r, cells);
        count += AnyFilled(cells) ? 1 : 0;
    }
    if (last >= WorkbookReader::kHeldRows) {
        count += book.FilledRowsBelowHeld(plan.sheet);
    }
    return static_cast<int>(std::min<std::uint64_t>(count, std::numeric_limits<int>::max()));
}

int LastFilledRow(const WorkbookReader& book, const SheetPlan& plan) {
    std::vector<std::string> cells(plan.columns.fields.size());
    for (int r = std::min(book.LastRow(plan.sheet), kLastSheetRow); r > plan.headingRow; --r) {
        ReadFields(book, plan, r, cells);
        if (AnyFilled(cells)) {
            return r;
        }
    }
    return 0;
}

SheetWalk WalkSheet(const WorkbookReader& book, const SheetPlan& plan, GridTextBudget& budget,
                    const SheetRowSink& onRow) {
    SheetWalk walk;
    const std::string label = KindLabel(plan);
    SheetRow row;
    row.cells.resize(plan.columns.fields.size());
    const int last = LastFilledRow(book, plan);
    for (int r = plan.headingRow + 1; r <= last; ++r) {
        ReadFields(book, plan, r, row.cells);
        row.sheetRow = r;
        row.error.clear();
        if (ReadsAsHeadings(row.cells, plan.kind)) {
            walk.headingRows.push_back(r);
            continue;
        }
        if (!KeyFilled(row.cells)) {
            if (std::all_of(row.cells.begin() + 1, row.cells.end(), SaysNothing)) {
                walk.blankRows.push_back(r);
                continue;
            }
            row.error = NoKeySentence(plan, r);
            ++walk.rowsMarked;
        }
        for (const std::string& text : row.cells) {
            budget.Spend(text.size(), label, r);
        }
        ++walk.rowsRead;
        onRow(row);
    }
    walk.rowsNotRead = book.LastRow(plan.sheet) > kLastSheetRow ? RowsBelowLimit(book, plan) : 0;
    return walk;
}

std::vector<std::string> FieldHeadings(const SheetPlan& plan) {
    std::vector<std::string> headings(plan.columns.fields.size());
    for (std::size_t c = 1; c < headings.size(); ++c) {
        headings[c] = plan.columns.fields[c].heading;
    }
    return headings;
}

}  // namespace ledgerlift
