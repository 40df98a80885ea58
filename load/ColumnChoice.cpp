#include "load/ColumnChoice.h"

#include <algorithm>

#include "base/TextRules.h"
#include "base/Utf8Text.h"
#include "load/GridLayouts.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

// Headings are read with their control characters as spaces, and so are
// compared (a choice kept before, "Opening\nBalance", still names its column).
bool SameText(std::string a, std::string b) {
    ControlsToSpaces(a);
    ControlsToSpaces(b);
    return Upper(Trim(a)) == Upper(Trim(b));
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PlaceAndName(const WorkbookReader& book, int sheet) {
    std::string text = std::to_string(sheet);
    if (std::string name = book.SheetName(sheet); !name.empty()) {
        text += " (";
        text += name;
        text += ')';
    }
    return text;
}

// "1 (Items), 2 (Ledgers)": every sheet of the workbook.
std::string SheetList(const WorkbookReader& book) {
    std::string list;
    for (int s = 1; s <= book.SheetCount(); ++s) {
        list += s > 1 ? ", " : "";
        list += PlaceAndName(book, s);
    }
    return list;
}

std::string HeadingAt(const std::vector<std::string>& headings, int column) {
    return column > 0 && static_cast<std::size_t>(column) < headings.size()
               ? headings[static_cast<std::size_t>(column)]
               : std::string();
}

std::string Caption(SheetKind kind, int gridCol) {
    return Fields(kind)[static_cast<std::size_t>(gridCol) - 1].caption;
}

std::string ColumnAndHeading(const std::vector<std::string>& headings, int column) {
    std::string text = "column ";
    text += ColumnLetters(column);
    if (std::string heading = Trim(HeadingAt(headings, column)); !heading.empty()) {
        text += " (";
        text += heading;
        text += ')';
    }
    return text;
}

// The column whose heading the field names: the heading decides, the letter
// tells apart columns that bear the same heading.
int ColumnOfHeading(const std::vector<std::string>& headings, SheetKind kind,
                    const ChosenField& field, const std::string& label) {
    std::vector<int> found;
    for (std::size_t c = 1; c < headings.size(); ++c) {
        if (!Trim(headings[c]).empty() && SameText(headings[c], field.heading)) {
            found.push_back(static_cast<int>(c));
        }
    }
    if (found.size() == 1) {
        return found[0];
    }
    if (std::find(found.begin(), found.end(), field.column) != found.end()) {
        return field.column;
    }
    std::string sentence = "In ";
    sentence += label;
    if (found.empty()) {
        sentence += ", no column has the heading \"";
        sentence += Trim(field.heading);
        sentence += "\" chosen for ";
        sentence += Caption(kind, field.gridCol);
        sentence += ". Choose one of its headings, or an empty heading and the column's letter.";
    } else {
        sentence += ", columns ";
        sentence += ColumnLetters(found[0]);
        sentence += " and ";
        sentence += ColumnLetters(found[1]);
        sentence += " both have the heading \"";
        sentence += Trim(field.heading);
        sentence += "\" chosen for ";
        sentence += Caption(kind, field.gridCol);
        sentence += ". Give the letter of the one to read as well.";
    }
    throw ColumnsError(sentence);
}

void NoteProblems(ColumnMap& map, const std::vector<int>& fieldOfColumn, int column, int gridCol) {
    std::size_t c = static_cast<std::size_t>(column);
    if (c < fieldOfColumn.size() && fieldOfColumn[c] > 0 && map.problem.empty()) {
        map.problem = ColumnAndHeading(map.headings, column);
        map.problem += " is chosen for both ";
        map.problem += Caption(map.kind, fieldOfColumn[c]);
        map.problem += " and ";
        map.problem += Caption(map.kind, gridCol);
    }
}

void NoteUnused(ColumnMap& map, const std::vector<int>& fieldOfColumn) {
    for (std::size_t c = 1; c < map.headings.size(); ++c) {
        if ((c >= fieldOfColumn.size() || fieldOfColumn[c] == 0) &&
            !Trim(map.headings[c]).empty()) {
            map.unused.push_back(static_cast<int>(c));
        }
    }
}

}  // namespace

int FindSheet(const WorkbookReader& book, const std::string& path, const SheetRef& ref,
              const std::string& what) {
    const int count = book.SheetCount();
    for (int pass = 0; pass < 2 && !ref.name.empty(); ++pass) {
        for (int s = 1; s <= count; ++s) {
            std::string name = book.SheetName(s);
            if (pass == 0 ? name == ref.name : SameText(name, ref.name)) {
                return s;
            }
        }
    }
    int number = AllDigits(ref.name) ? std::stoi(ref.name) : ref.name.empty() ? ref.number : 0;
    if (number >= 1 && number <= count) {
        return number;
    }
    std::string sentence = "The workbook ";
    sentence += path;
    sentence += " has no worksheet ";
    if (ref.name.empty() || AllDigits(ref.name)) {
        sentence += ref.name.empty() ? std::to_string(ref.number) : ref.name;
    } else {
        sentence += "named \"";
        sentence += ref.name;
        sentence += '"';
    }
    sentence += " for ";
    sentence += what;
    sentence += "; its worksheets are ";
    sentence += SheetList(book);
    sentence += '.';
    throw ColumnsError(sentence);
}

ColumnMap ChosenColumns(const std::vector<std::string>& headings, SheetKind kind,
                        const std::vector<ChosenField>& fields, const std::string& label) {
    ColumnMap map;
    map.kind = kind;
    map.headings = headings;
    map.recognised = true;
    map.fields.resize(Fields(kind).size() + 1);
    std::vector<int> fieldOfColumn(headings.size() + 1, 0);
    for (const ChosenField& field : fields) {
        if (field.gridCol < 1 || field.gridCol >= static_cast<int>(map.fields.size())) {
            continue;  // no such field: the caller names the fields it knows
        }
        int column = Trim(field.heading).empty() ? field.column
                                                 : ColumnOfHeading(headings, kind, field, label);
        if (column <= 0) {
            continue;
        }
        NoteProblems(map, fieldOfColumn, column, field.gridCol);
        if (static_cast<std::size_t>(column) >= fieldOfColumn.size()) {
            fieldOfColumn.resize(static_cast<std::size_t>(column) + 1, 0);
        }
        fieldOfColumn[static_cast<std::size_t>(column)] = field.gridCol;
        map.fields[static_cast<std::size_t>(field.gridCol)] = {column, HeadingAt(headings, column),
                                                               FoundBy::Chosen};
    }
    for (const FieldInfo& info : Fields(kind)) {
        if (info.required && map.ColumnOf(info.gridCol) == 0 && map.problem.empty()) {
            map.problem = "no column is chosen for ";
            map.problem += info.caption;
        }
    }
    NoteUnused(map, fieldOfColumn);
    return map;
}

namespace {

// A heading row chosen below the rows the load reads, or below the sheet's
// last row, has nothing under it to read, and may be no row at all.
void RequireRowInSheet(const WorkbookReader& book, int sheet, int headingRow) {
    int last = std::max(1, std::min(book.LastRow(sheet), kLastSheetRow));
    if (headingRow <= last) {
        return;
    }
    std::string sentence = "Worksheet ";
    sentence += PlaceAndName(book, sheet);
    sentence += " has no row ";
    sentence += std::to_string(headingRow);
    sentence += " to read its headings from: its last row read is ";
    sentence += std::to_string(last);
    sentence += ". Choose a heading row from 1 to ";
    sentence += std::to_string(last);
    sentence += '.';
    throw ColumnsError(sentence);
}

SheetPlan ChosenPlan(const WorkbookReader& book, int sheet, SheetKind kind, int headingRow,
                     const std::vector<ChosenField>& fields) {
    RequireRowInSheet(book, sheet, headingRow);
    int row = headingRow > 0 ? headingRow : FindHeadingRow(book, sheet, kind);
    SheetPlan plan = PlanSheet(book, sheet, kind, row, "chosen");
    if (!fields.empty()) {
        plan.columns =
            ChosenColumns(HeadingTexts(book, sheet, row), kind, fields, SheetLabel(plan));
    }
    return plan;
}

void Drop(WorkbookPlan& plan, int sheet) {
    auto same = [sheet](const SheetPlan& p) { return p.sheet == sheet; };
    std::erase_if(plan.items, same);
    std::erase_if(plan.ledgers, same);
    std::erase_if(plan.leftAlone, [sheet](const SheetLeftAlone& s) { return s.sheet == sheet; });
}

void LeaveAlone(WorkbookPlan& plan, const WorkbookReader& book, int sheet, const char* why) {
    Drop(plan, sheet);
    std::string sentence = "Worksheet ";
    sentence += PlaceAndName(book, sheet);
    sentence += " was not read: ";
    sentence += why;
    plan.leftAlone.push_back({sheet, sentence});
}

// The sheets as the choice lists them; those it does not list are not read.
WorkbookPlan ListedPlan(const WorkbookReader& book, const std::string& path,
                        const ColumnChoice& choice) {
    WorkbookPlan plan;
    std::vector<bool> listed(static_cast<std::size_t>(book.SheetCount()) + 1, false);
    for (const ChosenSheet& chosen : choice.sheets) {
        int s = FindSheet(book, path, chosen.sheet, "the chosen columns");
        if (listed[static_cast<std::size_t>(s)]) {
            std::string sentence = "Worksheet ";
            sentence += PlaceAndName(book, s);
            sentence += " of ";
            sentence += path;
            sentence += " is listed twice in the chosen columns; list each sheet once.";
            throw ColumnsError(sentence);
        }
        listed[static_cast<std::size_t>(s)] = true;
        if (!chosen.kind) {
            LeaveAlone(plan, book, s, "it was chosen to be read as neither items nor ledgers.");
        } else {
            SheetPlan sheet = ChosenPlan(book, s, *chosen.kind, chosen.headingRow, chosen.fields);
            (*chosen.kind == SheetKind::Items ? plan.items : plan.ledgers).push_back(sheet);
        }
    }
    for (int s = 1; s <= book.SheetCount(); ++s) {
        if (!listed[static_cast<std::size_t>(s)]) {
            LeaveAlone(plan, book, s, "the chosen columns do not list it.");
        }
    }
    return plan;
}

// The chosen sheet's columns: those the choice lists for it, if any.
const ChosenSheet* Listed(const WorkbookReader& book, const std::string& path,
                          const ColumnChoice& choice, int sheet) {
    for (const ChosenSheet& chosen : choice.sheets) {
        if (FindSheet(book, path, chosen.sheet, "the chosen columns") == sheet) {
            return &chosen;
        }
    }
    return nullptr;
}

// The one sheet read as kind, when an option names it.
void ApplySheetOption(const WorkbookReader& book, const std::string& path,
                      const ColumnChoice& choice, SheetKind kind, WorkbookPlan& plan) {
    const SheetRef& ref = kind == SheetKind::Items ? choice.itemsSheet : choice.ledgersSheet;
    if (!ref.Given()) {
        return;
    }
    std::string what = "the ";
    what += KindWord(kind);
    what += " sheet";
    int s = FindSheet(book, path, ref, what);
    std::vector<SheetPlan>& mine = kind == SheetKind::Items ? plan.items : plan.ledgers;
    for (const SheetPlan& other : std::vector<SheetPlan>(mine)) {
        if (other.sheet != s) {
            LeaveAlone(plan, book, other.sheet, "another sheet was chosen in its place.");
        }
    }
    const ChosenSheet* listed = Listed(book, path, choice, s);
    bool sameKind = listed && listed->kind == kind;
    Drop(plan, s);
    mine.push_back(ChosenPlan(book, s, kind, sameKind ? listed->headingRow : 0,
                              sameKind ? listed->fields : std::vector<ChosenField>{}));
}

void RequireOneKindEach(const WorkbookReader& book, const std::string& path,
                        const ColumnChoice& choice) {
    if (!choice.itemsSheet.Given() || !choice.ledgersSheet.Given()) {
        return;
    }
    int items = FindSheet(book, path, choice.itemsSheet, "the items sheet");
    if (items == FindSheet(book, path, choice.ledgersSheet, "the ledgers sheet")) {
        std::string sentence = "Worksheet ";
        sentence += PlaceAndName(book, items);
        sentence += " of ";
        sentence += path;
        sentence +=
            " was chosen as both the items sheet and the ledgers sheet; choose another "
            "sheet for one of them.";
        throw ColumnsError(sentence);
    }
}

}  // namespace

WorkbookPlan FindChosenSheets(const WorkbookReader& book, const std::string& path,
                              const ColumnChoice& choice) {
    if (choice.Empty()) {
        return FindSheets(book, path);
    }
    RequireOneKindEach(book, path, choice);
    WorkbookPlan plan;
    if (!choice.sheets.empty()) {
        plan = ListedPlan(book, path, choice);
    } else if (book.SheetCount() >= 2) {
        plan = FindSheets(book, path);
    }  // a lone sheet the operator names is not refused for being alone
    ApplySheetOption(book, path, choice, SheetKind::Items, plan);
    ApplySheetOption(book, path, choice, SheetKind::Ledgers, plan);
    auto byPlace = [](const SheetPlan& a, const SheetPlan& b) { return a.sheet < b.sheet; };
    std::sort(plan.items.begin(), plan.items.end(), byPlace);
    std::sort(plan.ledgers.begin(), plan.ledgers.end(), byPlace);
    return plan;
}

WorkbookPlan PlanWorkbook(const WorkbookReader& book, const std::string& path,
                          const ColumnChoice& choice) {
    WorkbookPlan plan = FindChosenSheets(book, path, choice);
    RequireReadable(plan, path);
    return plan;
}

}  // namespace ledgerlift
