#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "import/GridLayouts.h"
#include "import/LoadWorkbook.h"
#include "import/OpenWorkbook.h"
#include "import/SheetRows.h"

namespace ledgerlift {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A cell in a tab-separated line: backslash, tab, CR and LF escaped.
std::string TsvCell(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

void PrintTsv(const Rows& rows) {
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::printf("%s%s", c ? "\t" : "", TsvCell(row[c]).c_str());
        }
        std::printf("\n");
    }
}

std::string JsonRows(const Rows& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",\n    [" : "\n    [";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            out += (c ? "," : "") + JsonString(rows[r][c]);
        }
        out += "]";
    }
    return out + (rows.empty() ? "]" : "\n  ]");
}

}  // namespace

int Preview(const PreviewOptions& options) {
    struct Sheet {
        const char* name;
        int number;
        int lastCol;
        Rows rows;
    };
    std::vector<Sheet> sheets;
    if (options.sheet != "ledgers") {
        sheets.push_back({"items", 1, kItemCols - 1, {}});
    }
    if (options.sheet != "items") {
        sheets.push_back({"ledgers", 2, kLedgerCols - 1, {}});
    }
    try {
        AnyWorkbookReader book;
        book.Open(options.workbook);
        for (auto& sheet : sheets) {
            if (sheet.number > book.SheetCount()) {
                std::fprintf(stderr, "warning: %s has no worksheet %d (%s).\n",
                             options.workbook.c_str(), sheet.number, sheet.name);
                continue;
            }
            if (ReadSheetRows(book, sheet.number, sheet.lastCol, sheet.rows)) {
                std::fprintf(stderr,
                             "warning: only worksheet rows 2 to 65000 of worksheet %d (%s) are "
                             "loaded; its rows below row 65000 are not read.\n",
                             sheet.number, sheet.name);
            }
            if (int count = book.FormulasWithoutResult(sheet.number); count > 0) {
                std::string label =
                    "worksheet " + std::to_string(sheet.number) + " (" + sheet.name + ")";
                std::fprintf(stderr, "warning: %s\n",
                             MissingResultsMessage(options.workbook, label, count).c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    if (options.format == "json") {
        std::string out = "{";
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            out += (i ? ",\n  " : "\n  ") + JsonString(sheets[i].name) + ": " +
                   JsonRows(sheets[i].rows);
        }
        std::printf("%s\n}\n", out.c_str());
    } else {
        for (const auto& sheet : sheets) {
            if (sheets.size() > 1) {
                std::printf("# %s\n", sheet.name);
            }
            PrintTsv(sheet.rows);
        }
    }
    return kExitDone;
}

}  // namespace ledgerlift
