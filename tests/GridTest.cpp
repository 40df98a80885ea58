#include <gtest/gtest.h>

#include "ui/Grid.h"

namespace ledgerlift {
namespace {

TEST(Grid, FormatStringSetsColumnsCaptionsAlignmentAndWidths) {
    Grid g;
    g.SetFormatString("SLNO   |<ITEM CODE   |>QOH |Plain");
    ASSERT_EQ(g.Cols(), 4);
    EXPECT_EQ(g.TextMatrix(0, 0), "SLNO   ");
    EXPECT_EQ(g.TextMatrix(0, 1), "ITEM CODE   ");
    EXPECT_EQ(g.TextMatrix(0, 2), "QOH ");
    EXPECT_EQ(g.ColAlignment(0), Grid::Align::Default);
    EXPECT_EQ(g.ColAlignment(1), Grid::Align::Left);
    EXPECT_EQ(g.ColAlignment(2), Grid::Align::Right);
    EXPECT_GT(g.ColWidth(1), g.ColWidth(2)) << "trailing blanks widen a column";
    EXPECT_EQ(g.FormatString(), "SLNO   |<ITEM CODE   |>QOH |Plain");
}

TEST(Grid, RowsCountTheHeaderAndAddItemAppends) {
    Grid g;
    g.SetCols(3);
    g.SetRows(1);
    g.SetRows(2);
    g.SetTextMatrix(1, 2, "x");
    g.AddItem("");
    ASSERT_EQ(g.Rows(), 3);
    EXPECT_EQ(g.TextMatrix(2, 2), "");
    g.AddItem("a\tb\tc\td");
    EXPECT_EQ(g.TextMatrix(3, 1), "b");
    EXPECT_EQ(g.TextMatrix(3, 2), "c");
    g.SetRows(1);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_THROW(g.TextMatrix(1, 0), GridError);
    EXPECT_THROW(g.SetRows(0), GridError);
}

TEST(Grid, ColoursTheCurrentCellOnly) {
    Grid g;
    g.SetCols(3);
    g.SetRows(4);
    g.SetRow(2);
    g.SetCol(1);
    g.SetCellBackColor(Rgb{255, 255, 0});
    EXPECT_TRUE(g.HasBackColor(2, 1));
    EXPECT_EQ(g.BackColor(2, 1), (Rgb{255, 255, 0}));
    EXPECT_FALSE(g.HasBackColor(2, 2));
    EXPECT_FALSE(g.HasBackColor(1, 1));
}

TEST(Grid, ChangesRaiseTheVersionsThatAViewWatches) {
    Grid g;
    auto shape = g.ShapeVersion();
    auto content = g.ContentVersion();
    g.SetTextMatrix(1, 1, "x");
    EXPECT_EQ(g.ShapeVersion(), shape);
    EXPECT_GT(g.ContentVersion(), content);
    g.AddItem("");
    EXPECT_GT(g.ShapeVersion(), shape);
}

}  // namespace
}  // namespace ledgerlift
