#include "load/LoadLines.h"

#include "base/TextRules.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

std::string Quoted(const std::string& heading) {
    return heading.empty() ? "" : " (" + heading + ")";
}

std::string List(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts) {
        out += (out.empty() ? "" : ", ") + part;
    }
    return out;
}

std::string RowList(const std::vector<int>& rows) {
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < rows.size() && i < 10; ++i) {
        parts.push_back(std::to_string(rows[i]));
    }
    std::string list = List(parts);
    if (rows.size() > 10) {
        list += " and " + std::to_string(rows.size() - 10) + " more";
    }
    return list;
}

// Which column feeds which field.
std::string ColumnsPart(const SheetPlan& plan) {
    const ColumnMap& map = plan.columns;
    const std::string span = "A to " + ColumnLetters(static_cast<int>(map.fields.size()) - 1);
    if (map.described) {
        return map.recognised ? "columns " + span + " as described"
                              : "columns " + span + " by position";
    }
    std::vector<std::string> fed;
    std::vector<std::string> missing;
    for (const FieldInfo& field : Fields(plan.kind)) {
        const FieldColumn& column = map.fields[static_cast<std::size_t>(field.gridCol)];
        if (column.column > 0) {
            bool same = Upper(Trim(column.heading)) == Upper(field.caption);
            fed.push_back(std::string(field.caption) + " from " + ColumnLetters(column.column) +
                          (same ? "" : Quoted(Trim(column.heading))));
        } else {
            missing.push_back(field.caption);
        }
    }
    std::string part = List(fed);
    if (!missing.empty()) {
        part += "; not in the workbook: " + List(missing);
    }
    return part;
}

std::string UnusedPart(const SheetPlan& plan, const std::vector<std::string>& headings) {
    std::vector<std::string> unused;
    for (int column : plan.columns.unused) {
        std::size_t c = static_cast<std::size_t>(column);
        unused.push_back(ColumnLetters(column) + Quoted(c < headings.size() ? headings[c] : ""));
    }
    return unused.empty() ? "" : "; not used: " + List(unused);
}

std::string RowsPart(const SheetPlan& plan, const SheetWalk& walk) {
    std::string part =
        std::to_string(walk.rowsRead) + (walk.rowsRead == 1 ? " row" : " rows") + " read";
    if (walk.rowsMarked > 0) {
        part += " (" + std::to_string(walk.rowsMarked) + " without " +
                (plan.kind == SheetKind::Items ? "item code or name" : "ledger name or alias") +
                ", marked, never written)";
    }
    std::size_t blank = walk.blankRows.size();
    if (blank > 0) {
        part += ", " + std::to_string(blank) + (blank == 1 ? " blank row" : " blank rows") +
                " skipped: worksheet " + (blank == 1 ? "row " : "rows ") + RowList(walk.blankRows);
    }
    if (std::size_t headings = walk.headingRows.size(); headings > 0) {
        part += ", " + std::to_string(headings) +
                (headings == 1 ? " row of headings" : " rows of headings") +
                " skipped: worksheet " + (headings == 1 ? "row " : "rows ") +
                RowList(walk.headingRows);
    }
    return part;
}

}  // namespace

std::string LoadLine(const SheetPlan& plan, const SheetWalk& walk) {
    std::string how = std::string(" read as ") + KindWord(plan.kind);
    if (std::string(plan.foundBy) == "name") {
        how += " (its name says so)";
    } else if (std::string(plan.foundBy) == "position") {
        how += " (by its place in the workbook)";
    } else if (std::string(plan.foundBy) == "chosen") {
        how += " (chosen)";
    }
    std::string headings = ", headings in row " + std::to_string(plan.headingRow);
    if (plan.headingRow > 1) {
        headings += " (rows above them skipped)";
    }
    return "Worksheet " + std::to_string(plan.sheet) + Quoted(plan.name) + how + headings + ": " +
           ColumnsPart(plan) + UnusedPart(plan, plan.columns.headings) + "; " +
           RowsPart(plan, walk) + ".";
}

std::string HeadingRowsWarning(const SheetPlan& plan, const SheetWalk& walk) {
    if (walk.headingRows.empty()) {
        return "";
    }
    return "Worksheet row " + std::to_string(walk.headingRows.front()) + " of " + SheetLabel(plan) +
           " holds headings, below row " + std::to_string(plan.headingRow) +
           " where they were read from; it was not read as data, but the rows may have been "
           "read from other columns than their headings say. Choose the heading row with "
           "Columns... (or --columns) and load the workbook again.";
}

std::string HeadingWarning(const SheetPlan& plan) {
    if (plan.columns.recognised) {
        return "";
    }
    const auto& fields = Fields(plan.kind);
    return "The headings in row " + std::to_string(plan.headingRow) + " of worksheet " +
           std::to_string(plan.sheet) + Quoted(plan.name) + " are not " +
           (plan.kind == SheetKind::Items ? "item" : "ledger") + " headings; columns A to " +
           ColumnLetters(static_cast<int>(fields.size())) + " are read as " +
           fields.front().caption + " to " + fields.back().caption + ".";
}

}  // namespace ledgerlift
