// The loop a bookkeeper follows after a run with broken rows: the failed
// rows saved, the broken cells corrected in that workbook, the workbook run
// again. The company must end as one run of the corrected whole workbook
// leaves it, and the second run must end with nothing left to do.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "import/OpenWorkbook.h"
#include "tests/PackageWriter.h"
#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

using Sheet = std::vector<std::vector<CellValue>>;

std::vector<Sheet> ReadSheets(const std::string& path) {
    AnyWorkbookReader reader;
    reader.Open(path);
    std::vector<Sheet> sheets(static_cast<std::size_t>(reader.SheetCount()));
    for (int s = 1; s <= reader.SheetCount(); ++s) {
        for (int r = 1; r <= reader.LastRow(s); ++r) {
            std::vector<CellValue> row;
            for (int c = 1; c <= reader.LastColumn(s); ++c) {
                row.push_back(reader.Cell(s, r, c));
            }
            sheets[static_cast<std::size_t>(s - 1)].push_back(row);
        }
    }
    reader.Close();
    return sheets;
}

std::string XmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

std::string NumberXml(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The sheets as a plain .xlsx workbook: text as inline strings, numbers as
// numbers, as a spreadsheet program saves a corrected copy.
void WriteSheets(const std::string& path, const std::vector<Sheet>& sheets) {
    std::vector<std::string> sheetData;
    for (const Sheet& sheet : sheets) {
        std::string xml;
        for (std::size_t r = 0; r < sheet.size(); ++r) {
            xml += "<row r=\"" + std::to_string(r + 1) + "\">";
            for (std::size_t c = 0; c < sheet[r].size() && c < 26; ++c) {
                const CellValue& cell = sheet[r][c];
                std::string ref =
                    std::string(1, static_cast<char>('A' + c)) + std::to_string(r + 1);
                if (cell.kind == CellValue::Kind::Text) {
                    xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + XmlText(cell.text) +
                           "</t></is></c>";
                } else if (cell.kind == CellValue::Kind::Number) {
                    xml += "<c r=\"" + ref + "\"><v>" + NumberXml(cell.number) + "</v></c>";
                }
            }
            xml += "</row>";
        }
        sheetData.push_back(xml);
    }
    test::WriteZip(path, test::XlsxParts(sheetData));
}

// One cell of a sheet, found by its column heading and by the row whose key
// column holds the key.
CellValue& CellOf(Sheet& sheet, const std::string& keyHeading, const std::string& key,
                  const std::string& heading) {
    auto column = [&](const std::string& name) {
        for (std::size_t c = 0; c < sheet.front().size(); ++c) {
            if (sheet.front()[c].text == name) {
                return c;
            }
        }
        throw std::runtime_error("no column " + name);
    };
    std::size_t keyColumn = column(keyHeading);
    for (auto& row : sheet) {
        if (row[keyColumn].text == key) {
            return row[column(heading)];
        }
    }
    throw std::runtime_error("no row " + key);
}

class FixAndRunAgain : public CommandLine, public ::testing::WithParamInterface<const char*> {
  protected:
    Result MigrateInto(const test::ProductFolder& into, const std::string& workbook,
                       const std::string& more = "") {
        return Run("migrate " + workbook + " --company DEMO --date 2009-04-01 --yes " +
                   "--product-folder " + into.Path() + " " + more);
    }
    // The company without its ids, which differ between runs.
    static std::string Fingerprint(const std::string& db) {
        return test::QueryRows(
                   db,
                   "select (select count(*) from tblItemMaster), (select count(*) from tblLedger), "
                   "(select count(*) from tblCategories), (select count(*) from tblStock), "
                   "(select count(*) from tblStockHistory), (select count(*) from tblVoucher), "
                   "(select total(QtyIn) from tblStockHistory), (select total(PValueIn) from "
                   "tblStockHistory), (select total(Qty) from tblStock), (select total(AmountD) "
                   "from "
                   "tblVoucher), (select total(AmountC) from tblVoucher)") +
               test::QueryRows(db,
                               "select ItemCode, ItemName, Category from tblItemMaster left "
                               "join tblCategories using (CategoryID) order by ItemCode") +
               test::QueryRows(db, "select LName, Type, OpBalance from tblLedger order by LName");
    }
};

TEST_P(FixAndRunAgain, EndsAsOneRunOfTheCorrectedWorkbook) {
    const std::string ext = GetParam();
    std::string failed = scratch.File("failed.xlsx");
    Result first =
        MigrateInto(product, test::FixturePath("sample_broken" + ext), "--failed-rows " + failed);
    ASSERT_EQ(first.status, 1) << "four rows did not go in: " << first.err;

    std::vector<Sheet> sheets = ReadSheets(failed);
    ASSERT_EQ(sheets.size(), 2u);
    ASSERT_EQ(sheets[0].size(), 2u) << "the heading row and the item with the unreadable quantity";
    // The balance too large asks whether to go on; a script's answer is No,
    // so the ledgers after it were not reached and come back too.
    ASSERT_EQ(sheets[1].size(), 12u) << "the heading row, three broken and eight not reached";
    CellOf(sheets[0], "ITEM CODE", "IT005", "QOH") = CellValue::Number(24);
    CellOf(sheets[1], "Ledger Name", "Fathima Stores", "DrCr") = CellValue::Text("Cr");
    CellOf(sheets[1], "Ledger Name", "Anand Stores", "Ledger Name") =
        CellValue::Text("Joseph Traders");
    CellOf(sheets[1], "Ledger Name", "Coastal Oils", "OpeningBalance") = CellValue::Number(18500);
    std::string corrected = scratch.File("corrected.xlsx");
    WriteSheets(corrected, sheets);
    Result second = MigrateInto(product, corrected);
    EXPECT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_NE(second.out.find("Nothing left to migrate"), std::string::npos) << second.out;

    test::ProductFolder whole;
    std::string wholeDb = whole.AddCompany("DEMO", "C01", "DEMO");
    Result once = MigrateInto(whole, test::FixturePath("sample_fixed" + ext));
    EXPECT_EQ(once.status, 0) << once.err;
    EXPECT_EQ(Fingerprint(db), Fingerprint(wholeDb));
}

INSTANTIATE_TEST_SUITE_P(Formats, FixAndRunAgain, ::testing::Values(".xls", ".xlsx", ".ods"),
                         [](const auto& info) { return std::string(info.param + 1); });

}  // namespace
}  // namespace ledgerlift
