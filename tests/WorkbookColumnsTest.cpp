// A workbook's sheets and columns as the column dialog shows them, and the
// signature its layout is remembered by.

#include <gtest/gtest.h>

#include <string>

#include "import/OpenWorkbook.h"
#include "load/WorkbookColumns.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

std::string SignatureOf(const std::string& fixture) {
    AnyWorkbookReader book;
    book.Open(test::FixturePath(fixture));
    return WorkbookSignature(book);
}

TEST(WorkbookSignature, IsTheSameInEveryFormatAndForOtherRows) {
    std::string xlsx = SignatureOf("headings/shuffled.xlsx");
    EXPECT_EQ(SignatureOf("headings/shuffled.xls"), xlsx);
    EXPECT_EQ(SignatureOf("headings/shuffled.ods"), xlsx);
    EXPECT_NE(xlsx.find("Stock"), std::string::npos);
    // The same headings with other rows below them, or a title above them.
    std::string described = SignatureOf("headings/described.xlsx");
    EXPECT_EQ(SignatureOf("headings/blank_rows.xlsx"), described);
    EXPECT_EQ(SignatureOf("headings/title_line.xlsx"), described);
}

TEST(WorkbookSignature, DiffersForOtherHeadingsOrSheets) {
    std::string described = SignatureOf("headings/described.xlsx");
    EXPECT_NE(SignatureOf("headings/own_headings.xlsx"), described);
    EXPECT_NE(SignatureOf("headings/swapped.xlsx"), described);
    EXPECT_NE(SignatureOf("headings/extra_column.xlsx"), described);
    // No heading row: the first row decides.
    EXPECT_NE(SignatureOf("headings/no_heading_row.xlsx"), SignatureOf("headings/no_keys.xlsx"));
}

TEST(DescribeColumns, ShowsEachColumnsHeadingAndFirstValuesAndThePlan) {
    AnyWorkbookReader book;
    std::string path = test::FixturePath("headings/cover_first.xlsx");
    book.Open(path);
    WorkbookColumns columns = DescribeColumns(book, PlanSheets(book, path));
    ASSERT_EQ(columns.sheets.size(), 3u);
    EXPECT_EQ(columns.itemsSheet, 2);
    EXPECT_EQ(columns.ledgersSheet, 3);
    const SheetColumns& items = columns.sheets[1];
    EXPECT_EQ(items.name, "Items");
    ASSERT_EQ(items.columns.size(), 16u);
    EXPECT_EQ(items.columns[4].heading, "QOH");
    EXPECT_EQ(items.columns[4].values, (std::vector<std::string>{"10", "30", "7"}));
    EXPECT_EQ(items.asItems.ColumnOf(5), 5);
    EXPECT_EQ(items.asItems.fields[5].how, FoundBy::DescribedLayout);
    const SheetColumns& cover = columns.sheets[0];
    EXPECT_EQ(cover.name, "Read Me");
    ASSERT_EQ(cover.columns.size(), 1u);
    EXPECT_EQ(cover.columns[0].values, (std::vector<std::string>{"One row per item."}));
}

}  // namespace
}  // namespace ledgerlift
