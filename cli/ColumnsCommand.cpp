#include "cli/ColumnsCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/CommandLine.h"
#include "import/OpenWorkbook.h"
#include "reports/JsonOutput.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

// The plan of a sheet, if the load reads it.
const SheetPlan* PlanOf(const WorkbookPlan& plan, int sheet) {
    for (const auto* plans : {&plan.items, &plan.ledgers}) {
        for (const SheetPlan& p : *plans) {
            if (p.sheet == sheet) {
                return &p;
            }
        }
    }
    return nullptr;
}

// text and blanks to width, and a blank after a longer one.
std::string Padded(const std::string& text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text + ' ';
}

std::string Letters(int column) {
    return column > 0 ? ColumnLetters(column) : "";
}

OrderedJson FieldJson(const FieldInfo& info, const FieldColumn& field) {
    return {{"field", info.caption},
            {"column", Letters(field.column)},
            {"heading", field.column > 0 ? field.heading : ""},
            {"found_by", FoundByText(field.how)},
            {"required", info.required}};
}

OrderedJson UnusedJson(const ColumnMap& map) {
    OrderedJson unused = OrderedJson::array();
    for (int column : map.unused) {
        unused.push_back({{"column", ColumnLetters(column)},
                          {"heading", map.headings[static_cast<std::size_t>(column)]}});
    }
    return unused;
}

OrderedJson SheetJson(const WorkbookReader& book, int sheet, const SheetPlan* plan) {
    OrderedJson out = {{"sheet", sheet},
                       {"name", book.SheetName(sheet)},
                       {"role", plan ? KindWord(plan->kind) : "none"}};
    if (!plan) {
        return out;
    }
    OrderedJson fields = OrderedJson::array();
    for (const FieldInfo& info : Fields(plan->kind)) {
        fields.push_back(
            FieldJson(info, plan->columns.fields[static_cast<std::size_t>(info.gridCol)]));
    }
    out["found_by"] = plan->foundBy;
    out["heading_row"] = plan->headingRow;
    out["fields"] = std::move(fields);
    out["unused"] = UnusedJson(plan->columns);
    out["problem"] = plan->columns.problem;
    return out;
}

// The mapping as the file that --columns takes back.
std::string MappingJson(const WorkbookReader& book, const std::string& path,
                        const WorkbookPlan& plan) {
    OrderedJson sheets = OrderedJson::array();
    for (int s = 1; s <= book.SheetCount(); ++s) {
        sheets.push_back(SheetJson(book, s, PlanOf(plan, s)));
    }
    return JsonDocument({{"workbook", path}, {"sheets", std::move(sheets)}});
}

// How a sheet's kind was found, as the text says it.
const char* SheetFoundBy(const std::string& how) {
    if (how == "headings") {
        return " (its headings say so)";
    }
    if (how == "name") {
        return " (its name says so)";
    }
    return how == "chosen" ? " (chosen)" : " (by its place in the workbook)";
}

std::string SheetText(const WorkbookReader& book, int sheet, const SheetPlan* plan) {
    std::string out = "Worksheet ";
    out += std::to_string(sheet);
    out += " (";
    out += book.SheetName(sheet);
    out += "): ";
    if (!plan) {
        return out + "not read\n";
    }
    out += KindWord(plan->kind);
    out += SheetFoundBy(plan->foundBy);
    out += ", headings in row ";
    out += std::to_string(plan->headingRow);
    out += '\n';
    for (const FieldInfo& info : Fields(plan->kind)) {
        const FieldColumn& field = plan->columns.fields[static_cast<std::size_t>(info.gridCol)];
        out += "  ";
        out += Padded(info.caption, 32);
        out += Padded(Letters(field.column), 4);
        out += Padded(field.column > 0 ? field.heading : "", 28);
        out += FoundByText(field.how);
        out += '\n';
    }
    for (int column : plan->columns.unused) {
        out += "  not used: ";
        out += ColumnLetters(column);
        out += " (";
        out += plan->columns.headings[static_cast<std::size_t>(column)];
        out += ")\n";
    }
    if (!plan->columns.problem.empty()) {
        out += "  can't be read so: ";
        out += plan->columns.problem;
        out += '\n';
    }
    return out;
}

bool AnyProblem(const WorkbookPlan& plan) {
    for (const auto* plans : {&plan.items, &plan.ledgers}) {
        for (const SheetPlan& p : *plans) {
            if (!p.columns.problem.empty()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void ColumnsCommand::AddOptions(CLI::App& command, CommonOptions&) {
    command
        .add_option("--format", format_,
                    "text (default) or json (edit it and give it back with --columns)")
        ->check(CLI::IsMember({"text", "json"}));
    command.footer(
        Footer("ledgerlift columns opening.xlsx --format json > columns.json",
               "  0 the columns were printed, and the load reads them so\n"
               "  1 the columns were printed, but a sheet can't be read so (a required field "
               "has no column, or two columns hold one field): choose them with --columns\n"
               "  2 a usage error, or a workbook that cannot be read"));
}

int ColumnsCommand::Run(const CommonOptions&) {
    std::optional<ColumnChoice> choice = ChosenColumns();
    if (!choice) {
        return kExitUsage;
    }
    AnyWorkbookReader book;
    WorkbookPlan plan;
    try {
        book.Open(Workbook());
        plan = FindChosenSheets(book, Workbook(), *choice);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    std::string out;
    if (format_ == "json") {
        out = MappingJson(book, Workbook(), plan);
    } else {
        for (int s = 1; s <= book.SheetCount(); ++s) {
            out += SheetText(book, s, PlanOf(plan, s));
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (AnyProblem(plan)) {
        std::fprintf(stderr,
                     "warning: the load refuses this workbook as it is; choose the columns "
                     "with --columns.\n");
        return kExitIncomplete;
    }
    return kExitDone;
}

}  // namespace ledgerlift
