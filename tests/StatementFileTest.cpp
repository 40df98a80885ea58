// The statement's files from a company whose postings are written here with
// SQL, as a migration writes them: names in any script and of any length
// print as they are stored (or end in an ellipsis), HTML is escaped and
// stands alone, a long appendix runs on over pages with its headings, and a
// full disk leaves an older file of the name as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/TextRules.h"
#include "reports/openingstatement/OpeningStatementDocument.h"
#include "reports/openingstatement/OpeningStatementHtml.h"
#include "reports/openingstatement/WriteOpeningStatement.h"
#include "tests/FileSizeLimit.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    return text;
}

class StatementFile : public ::testing::Test {
  protected:
    void SetUp() override {
        db = product.AddCompany("DEMO", "C01", "DEMO");
        cn.Open(test::ConnectionStringFor(db));
        cn.Execute("insert into tblCategories values (1, 'Oils & <Fats>')");
    }
    // An item with an opening stock of quantity at rate.
    void Item(int id, const std::string& code, const std::string& name, double quantity,
              double rate) {
        std::string i = std::to_string(id);
        cn.Execute("insert into tblItemMaster (ItemID, ItemCode, ItemName, CategoryID) values (" +
                   i + ", " + Quote(code) + ", " + Quote(name) + ", 1)");
        cn.Execute(
            "insert into tblStockHistory (StockHisID, VchDate, VchType, ItemID, QtyIn, "
            "QtyOut, PValueIn, PValueOut) values (" +
            i + ", '2024-04-01', 'OpeningStock', " + i + ", " + std::to_string(quantity) + ", 0, " +
            std::to_string(quantity * rate) + ", 0)");
    }
    OpeningStatementRequest Request(const std::string& name) {
        return OpeningStatementRequest{
            product.Path(), "DEMO", scratch.File(name), Paper::A4, DigitGrouping::Western, ""};
    }
    std::string Text(const std::string& pdf) { return Output("pdftotext -layout '" + pdf + "' -"); }

    test::ProductFolder product;
    test::TempFolder scratch;
    std::string db;
    Connection cn;
};

TEST_F(StatementFile, NamesPrintAsStoredInAnyScriptAndLongOnesEndInAnEllipsis) {
    std::string longName(300, 'W');
    Item(1, "GR1", "Ελαιόλαδο παρθένο", 2, 10);
    Item(2, "RU1", "Масло подсолнечное", 3, 10);
    Item(3, "LONG", longName, 1, 10);
    Item(4, "BAD", "Ghee\xff\x01tin", 1, 10);
    Item(5, "ACC", "Crème brûlée ₹ 1/2", 1, 10);
    WriteOpeningStatement(Request("names.pdf"));
    std::string text = Text(scratch.File("names.pdf"));
    EXPECT_NE(text.find("Ελαιόλαδο παρθένο"), std::string::npos) << text;
    EXPECT_NE(text.find("Масло подсолнечное"), std::string::npos);
    EXPECT_NE(text.find("Crème brûlée ₹ 1/2"), std::string::npos);
    EXPECT_NE(text.find("WWWWWWWWWW…"), std::string::npos) << "cut short with an ellipsis";
    EXPECT_EQ(text.find(longName), std::string::npos);
    EXPECT_NE(text.find("Ghee\xEF\xBF\xBD tin"), std::string::npos)
        << "a stray byte shows as the replacement character, a control as a space";
    EXPECT_NE(text.find("Oils & <Fats>"), std::string::npos);
}

TEST_F(StatementFile, HtmlIsEscapedAndStandsAlone) {
    Item(1, "X<1>", "<script>alert('x')</script> & \"Co\"", 2, 10);
    WriteOpeningStatement(Request("page.html"));
    std::string html = Slurp(scratch.File("page.html"));
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;Co&quot;"),
              std::string::npos);
    EXPECT_NE(html.find("Oils &amp; &lt;Fats&gt;"), std::string::npos);
    EXPECT_NE(html.find("X&lt;1&gt;"), std::string::npos);
    for (const char* outside : {"http:", "https:", " src=", "<link", "@import"}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("@page{size:A4"), std::string::npos);
}

TEST_F(StatementFile, ALongAppendixRunsOnOverPagesWithItsHeadings) {
    cn.BeginTrans();
    for (int i = 1; i <= 400; ++i) {
        Item(i, "IT" + std::to_string(1000 + i), "Item " + std::to_string(i), 1, 2.5);
    }
    cn.CommitTrans();
    int pages = WriteOpeningStatement(Request("long.pdf"));
    EXPECT_GE(pages, 6);
    std::string info = Output("pdfinfo '" + scratch.File("long.pdf") + "'");
    EXPECT_NE(info.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos)
        << info;
    std::string last = Output("pdftotext -layout -f " + std::to_string(pages) + " -l " +
                              std::to_string(pages) + " '" + scratch.File("long.pdf") + "' -");
    EXPECT_NE(last.find("Appendix: opening stock by item (continued)"), std::string::npos) << last;
    EXPECT_NE(last.find("Code"), std::string::npos);
    EXPECT_NE(last.find("Quantity"), std::string::npos);
    EXPECT_NE(last.find("1,000.00"), std::string::npos) << "the total of 400 at 2.50";
    EXPECT_NE(last.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
              std::string::npos);
}

TEST_F(StatementFile, AFullDiskLeavesAnOlderFileAsItWas) {
    cn.BeginTrans();
    for (int i = 1; i <= 2000; ++i) {
        Item(i, "IT" + std::to_string(i), "Item number " + std::to_string(i), 1, 3);
    }
    cn.CommitTrans();
    std::string pdf = scratch.File("full.pdf");
    std::ofstream(pdf) << "the statement of last week";
    try {
        test::FileSizeLimit disk(20 * 1024);
        WriteOpeningStatement(Request("full.pdf"));
        FAIL() << "written beyond the disk";
    } catch (const StatementFailure& failure) {
        EXPECT_EQ(failure.WhatFailed(), StatementFailure::Kind::Writing);
        EXPECT_NE(failure.Description().find(pdf), std::string::npos) << failure.Description();
        EXPECT_NE(failure.Description().find("Nothing was saved under that name"),
                  std::string::npos)
            << failure.Description();
    }
    EXPECT_EQ(Slurp(pdf), "the statement of last week");
    for (const auto& entry : fs::directory_iterator(scratch.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".partial-"), std::string::npos)
            << "no half-written file is left: " << entry.path();
    }
}

}  // namespace
}  // namespace ledgerlift
