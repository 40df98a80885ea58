#include "load/SheetPlan.h"

#include <algorithm>

#include "base/Utf8Text.h"
#include "import/core/CellText.h"
#include "load/FieldWords.h"
#include "load/HeadingWords.h"

namespace ledgerlift {
namespace {

constexpr int kHeadingRowsLooked = 10;

// No heading is longer than this; a longer text is cut before its words
// are looked at, so that a cell of megabytes costs no more than its copy.
constexpr std::size_t kLongestHeading = 256;

// The texts of a row, element c that of column c (element 0 unused).
std::vector<std::string> RowTexts(const WorkbookReader& book, int sheet, int row, int lastCol) {
    std::vector<std::string> texts(static_cast<std::size_t>(lastCol) + 1);
    for (int c = 1; c <= lastCol; ++c) {
        std::string& text = texts[static_cast<std::size_t>(c)];
        book.ReadCellText(sheet, row, c, text);
        if (text.size() > kLongestHeading) {
            // Cut where a character ends: half a character is no text, and
            // the heading goes into the columns JSON.
            text.resize(Utf8Head(text, kLongestHeading).size());
            text.shrink_to_fit();
        }
        // A heading is shown in messages and on terminals: no control
        // character (an escape sequence) is passed on.
        ControlsToSpaces(text);
    }
    return texts;
}

int LastColumnLooked(const WorkbookReader& book, int sheet) {
    return std::min(book.LastColumn(sheet), 256);
}

// What a sheet's first rows say of it.
struct Signs {
    int headingRow = 1;
    int items = 0;  // fields of each kind its heading row claims
    int ledgers = 0;
};

Signs ReadSigns(const WorkbookReader& book, int sheet) {
    Signs signs;
    int lastCol = LastColumnLooked(book, sheet);
    int lastRow = std::min(book.LastRow(sheet), kHeadingRowsLooked);
    for (int r = 1; r <= lastRow; ++r) {
        // Each heading split into words once, for both kinds.
        std::vector<std::string> texts = RowTexts(book, sheet, r, lastCol);
        std::vector<std::vector<std::string>> words(texts.size());
        for (std::size_t c = 1; c < texts.size(); ++c) {
            words[c] = HeadingWords(texts[c]);
            std::erase_if(words[c], [](const std::string& w) { return !IsFieldWord(w); });
        }
        int items = FieldsClaimedByWords(words, SheetKind::Items);
        int ledgers = FieldsClaimedByWords(words, SheetKind::Ledgers);
        if (std::max(items, ledgers) >= 2) {
            return {r, items, ledgers};
        }
    }
    return signs;
}

// The kind a sheet's name says, if it says one.
std::optional<SheetKind> KindByName(const std::string& name) {
    std::vector<std::string> words = HeadingWords(name);
    auto says = [&](SheetKind kind) {
        const auto& signs = SheetNameSigns(kind);
        return std::any_of(words.begin(), words.end(), [&](const std::string& w) {
            return std::find_if(signs.begin(), signs.end(),
                                [&](const char* s) { return w == s; }) != signs.end();
        });
    };
    bool items = says(SheetKind::Items);
    bool ledgers = says(SheetKind::Ledgers);
    if (items == ledgers) {
        return std::nullopt;
    }
    return items ? SheetKind::Items : SheetKind::Ledgers;
}

void Add(WorkbookPlan& plan, SheetPlan sheet) {
    (sheet.kind == SheetKind::Items ? plan.items : plan.ledgers).push_back(std::move(sheet));
}

// Reads each sheet's signs into the plan; gives the sheets without one.
std::vector<int> PlanBySigns(const WorkbookReader& book, WorkbookPlan& plan) {
    std::vector<int> unsigned_;
    for (int s = 1; s <= book.SheetCount(); ++s) {
        Signs signs = ReadSigns(book, s);
        if (signs.items != signs.ledgers) {
            SheetKind kind = signs.items > signs.ledgers ? SheetKind::Items : SheetKind::Ledgers;
            Add(plan, PlanSheet(book, s, kind, signs.headingRow, "headings"));
        } else if (std::optional<SheetKind> kind = KindByName(book.SheetName(s))) {
            Add(plan, PlanSheet(book, s, *kind, FindHeadingRow(book, s, *kind), "name"));
        } else {
            unsigned_.push_back(s);
        }
    }
    return unsigned_;
}

bool Has(const std::vector<int>& sheets, int sheet) {
    return std::find(sheets.begin(), sheets.end(), sheet) != sheets.end();
}

bool Planned(const WorkbookPlan& plan, int sheet) {
    auto in = [&](const std::vector<SheetPlan>& plans) {
        return std::any_of(plans.begin(), plans.end(),
                           [&](const SheetPlan& p) { return p.sheet == sheet; });
    };
    return in(plan.items) || in(plan.ledgers);
}

bool Only(const std::vector<SheetPlan>& plans, int sheet) {
    return plans.size() == 1 && plans[0].sheet == sheet;
}

}  // namespace

void RequireReadable(const WorkbookPlan& plan, const std::string& path) {
    for (const auto* plans : {&plan.items, &plan.ledgers}) {
        for (const SheetPlan& sheet : *plans) {
            if (!sheet.columns.problem.empty()) {
                throw ColumnsError("The workbook " + path + " can't be loaded: in " +
                                   SheetLabel(sheet) + ", read as " + KindWord(sheet.kind) + ", " +
                                   sheet.columns.problem +
                                   ". Give each field one column with a heading that names it, "
                                   "and load it again.");
            }
        }
    }
}

std::vector<std::string> HeadingTexts(const WorkbookReader& book, int sheet, int row) {
    return RowTexts(book, sheet, row, LastColumnLooked(book, sheet));
}

SheetPlan PlanSheet(const WorkbookReader& book, int sheet, SheetKind kind, int headingRow,
                    const char* foundBy) {
    SheetPlan plan;
    plan.sheet = sheet;
    plan.name = book.SheetName(sheet);
    plan.kind = kind;
    plan.headingRow = headingRow;
    plan.foundBy = foundBy;
    std::vector<std::string> headings = HeadingTexts(book, sheet, headingRow);
    // A row that claims fewer than two fields is no heading row: one word
    // that happens to match ("Stock" in a row of data) decides nothing.
    plan.columns = FieldsClaimed(headings, kind) >= 2 ? MapColumns(headings, kind)
                                                      : ColumnsByPosition(headings, kind);
    return plan;
}

int FindHeadingRow(const WorkbookReader& book, int sheet, SheetKind kind) {
    int lastCol = LastColumnLooked(book, sheet);
    int lastRow = std::min(book.LastRow(sheet), kHeadingRowsLooked);
    for (int r = 1; r <= lastRow; ++r) {
        if (FieldsClaimed(RowTexts(book, sheet, r, lastCol), kind) >= 2) {
            return r;
        }
    }
    return 1;
}

std::string KindLabel(const SheetPlan& plan) {
    return "worksheet " + std::to_string(plan.sheet) + " (" + KindWord(plan.kind) + ")";
}

std::string SheetLabel(const SheetPlan& plan) {
    std::string label = "worksheet " + std::to_string(plan.sheet);
    return plan.name.empty() ? label : label + " (" + plan.name + ")";
}

WorkbookPlan PlanSheets(const WorkbookReader& book, const std::string& path) {
    WorkbookPlan plan = FindSheets(book, path);
    RequireReadable(plan, path);
    return plan;
}

WorkbookPlan FindSheets(const WorkbookReader& book, const std::string& path) {
    WorkbookPlan plan;
    std::vector<int> unsigned_ = PlanBySigns(book, plan);
    bool none = plan.items.empty() && plan.ledgers.empty();
    if (none && book.SheetCount() < 2) {
        // One sheet that says nothing of itself: refused, as ever.
        throw WorkbookError("The workbook " + path + " has no worksheet 2: it has " +
                            std::to_string(book.SheetCount()) + ".");
    }
    if (plan.items.empty() && Has(unsigned_, 1) && (none || Only(plan.ledgers, 2))) {
        Add(plan, PlanSheet(book, 1, SheetKind::Items, 1, "position"));
    }
    if (plan.ledgers.empty() && Has(unsigned_, 2) && (none || Only(plan.items, 1))) {
        Add(plan, PlanSheet(book, 2, SheetKind::Ledgers, 1, "position"));
    }
    for (int s : unsigned_) {
        if (!Planned(plan, s)) {
            std::string name = book.SheetName(s);
            plan.leftAlone.push_back(
                {s, "Worksheet " + std::to_string(s) + (name.empty() ? "" : " (" + name + ")") +
                        " was not read: nothing in its headings or its name says "
                        "it holds items or ledgers."});
        }
    }
    return plan;
}

}  // namespace ledgerlift
