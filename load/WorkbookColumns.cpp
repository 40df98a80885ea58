#include "load/WorkbookColumns.h"

#include <algorithm>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

constexpr int kRowsLooked = 10;
constexpr std::size_t kValuesShown = 3;
constexpr int kValueRowsLooked = 50;

// The heading row a sheet not planned would be read by.
int HeadingRowOf(const WorkbookReader& book, int sheet) {
    int items = FindHeadingRow(book, sheet, SheetKind::Items);
    return items != 1 ? items : FindHeadingRow(book, sheet, SheetKind::Ledgers);
}

ColumnMap AutoMap(const std::vector<std::string>& headings, SheetKind kind) {
    return FieldsClaimed(headings, kind) >= 2 ? MapColumns(headings, kind)
                                              : ColumnsByPosition(headings, kind);
}

std::vector<ColumnSample> Samples(const WorkbookReader& book, int sheet, int headingRow,
                                  const std::vector<std::string>& headings) {
    std::vector<ColumnSample> columns;
    std::string text;
    int lastRow = std::min(book.LastRow(sheet), headingRow + kValueRowsLooked);
    for (std::size_t c = 1; c < headings.size(); ++c) {
        ColumnSample sample{static_cast<int>(c), Trim(headings[c]), {}};
        for (int r = headingRow + 1; r <= lastRow && sample.values.size() < kValuesShown; ++r) {
            book.ReadCellText(sheet, r, sample.column, text);
            if (!Trim(text).empty()) {
                sample.values.push_back(Trim(text));
            }
        }
        columns.push_back(std::move(sample));
    }
    // Columns with neither a heading nor a value are left out at the end.
    while (!columns.empty() && columns.back().heading.empty() && columns.back().values.empty()) {
        columns.pop_back();
    }
    return columns;
}

// The texts of a row, each followed by a separator; "" when all are blank.
std::string RowText(const std::vector<std::string>& texts) {
    std::string row;
    for (std::size_t c = 1; c < texts.size(); ++c) {
        row += Trim(texts[c]);
        row += '\x1f';
    }
    return row.find_first_not_of('\x1f') == std::string::npos ? "" : row;
}

// A sheet's headings as its signature holds them: its heading row when one
// reads as such (a title line above it does not count), else its first
// filled row.
std::string HeadingsText(const WorkbookReader& book, int sheet) {
    int headingRow = HeadingRowOf(book, sheet);
    std::vector<std::string> texts = HeadingTexts(book, sheet, headingRow);
    if (FieldsClaimed(texts, SheetKind::Items) >= 2 ||
        FieldsClaimed(texts, SheetKind::Ledgers) >= 2) {
        return RowText(texts);
    }
    int lastRow = std::min(book.LastRow(sheet), kRowsLooked);
    for (int r = 1; r <= lastRow; ++r) {
        if (std::string row = RowText(HeadingTexts(book, sheet, r)); !row.empty()) {
            return row;
        }
    }
    return "";
}

const SheetPlan* PlanOf(const std::vector<SheetPlan>& plans, int sheet) {
    auto it = std::find_if(plans.begin(), plans.end(),
                           [sheet](const SheetPlan& p) { return p.sheet == sheet; });
    return it == plans.end() ? nullptr : &*it;
}

}  // namespace

WorkbookColumns DescribeColumns(const WorkbookReader& book, const WorkbookPlan& plan) {
    WorkbookColumns out;
    out.itemsSheet = plan.items.empty() ? 0 : plan.items.front().sheet;
    out.ledgersSheet = plan.ledgers.empty() ? 0 : plan.ledgers.front().sheet;
    for (int s = 1; s <= book.SheetCount(); ++s) {
        const SheetPlan* asItems = PlanOf(plan.items, s);
        const SheetPlan* asLedgers = PlanOf(plan.ledgers, s);
        const SheetPlan* planned = asItems ? asItems : asLedgers;
        SheetColumns sheet;
        sheet.sheet = s;
        sheet.name = book.SheetName(s);
        sheet.headingRow = planned ? planned->headingRow : HeadingRowOf(book, s);
        std::vector<std::string> headings = HeadingTexts(book, s, sheet.headingRow);
        sheet.columns = Samples(book, s, sheet.headingRow, headings);
        sheet.asItems = asItems ? asItems->columns : AutoMap(headings, SheetKind::Items);
        sheet.asLedgers = asLedgers ? asLedgers->columns : AutoMap(headings, SheetKind::Ledgers);
        out.sheets.push_back(std::move(sheet));
    }
    return out;
}

std::string WorkbookSignature(const WorkbookReader& book) {
    std::string signature;
    for (int s = 1; s <= book.SheetCount(); ++s) {
        signature += book.SheetName(s);
        signature += '\x1e';
        signature += HeadingsText(book, s);
        signature += '\x1d';
    }
    return signature;
}

}  // namespace ledgerlift
