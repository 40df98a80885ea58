#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(Grid, ARowWrittenAtOnceIsTheSameAsCellByCell) {
    Grid whole;
    Grid byCell;
    for (Grid* g : {&whole, &byCell}) {
        g->SetCols(4);
        g->SetRows(3);
        g->SetTextMatrix(1, 3, "stays");
    }
    const std::vector<std::string> texts = {"1", "", "a longer text than before"};
    auto content = whole.ContentVersion();
    whole.SetRowTexts(1, texts);
    for (int c = 0; c < 3; ++c) {
        byCell.SetTextMatrix(1, c, texts[static_cast<std::size_t>(c)]);
    }
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(whole.TextMatrix(1, c), byCell.TextMatrix(1, c)) << "column " << c;
    }
    EXPECT_GT(whole.ContentVersion(), content);

    // A row too wide for the grid changes nothing, not even its first cells.
    EXPECT_THROW(whole.SetRowTexts(2, {"a", "b", "c", "d", "e"}), GridError);
    EXPECT_EQ(whole.TextMatrix(2, 0), "");
    EXPECT_THROW(whole.SetRowTexts(3, {"a"}), GridError);
}

// The texts share one buffer: every way of writing a cell must leave every
// other cell as it was.
TEST(GridText, ShorterLongerAndEmptyTextsReplaceEachOther) {
    Grid g;
    g.SetCols(3);
    g.SetRows(3);
    g.SetTextMatrix(1, 0, "left");
    g.SetTextMatrix(1, 1, "a rather long text");
    g.SetTextMatrix(1, 2, "right");
    g.SetTextMatrix(1, 1, "short");
    EXPECT_EQ(g.TextMatrix(1, 1), "short");
    g.SetTextMatrix(1, 1, "now longer than it ever was");
    EXPECT_EQ(g.TextMatrix(1, 1), "now longer than it ever was");
    g.SetTextMatrix(1, 1, "");
    EXPECT_EQ(g.TextMatrix(1, 1), "");
    EXPECT_EQ(g.TextMatrix(1, 0), "left");
    EXPECT_EQ(g.TextMatrix(1, 2), "right");
    EXPECT_EQ(g.TextMatrix(2, 2), "") << "never written";
}

TEST(GridText, ACellCanBeWrittenFromAnotherCellOrItself) {
    Grid g;
    g.SetCols(2);
    g.SetRows(2);
    g.SetTextMatrix(1, 0, "source text");
    for (int i = 0; i < 100; ++i) {
        // Each copy may make the buffer grow and move under the view.
        g.SetTextMatrix(1, 1, g.TextMatrix(1, 0));
        g.SetTextMatrix(1, 0, std::string(g.TextMatrix(1, 1)) + "+");
    }
    EXPECT_EQ(g.TextMatrix(1, 0), "source text" + std::string(100, '+'));
    g.SetTextMatrix(1, 0, g.TextMatrix(1, 0));
    EXPECT_EQ(g.TextMatrix(1, 0), "source text" + std::string(100, '+'));
    g.SetTextMatrix(1, 0, g.TextMatrix(1, 0).substr(7, 4));
    EXPECT_EQ(g.TextMatrix(1, 0), "text") << "a part of the cell itself";
}

TEST(GridText, KeepsBytesAsTheyAreNulsIncluded) {
    Grid g;
    std::string odd("a\0b\tc\xff", 6);
    g.SetTextMatrix(1, 1, odd);
    EXPECT_EQ(g.TextMatrix(1, 1), odd);
    g.AddItem("x\t" + odd.substr(0, 3));
    EXPECT_EQ(g.TextMatrix(2, 1), std::string("a\0b", 3));
}

// "r12" (built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for
// a short literal + a temporary).
std::string RowName(int r) {
    std::string name = "r";
    name += std::to_string(r);
    return name;
}

TEST(GridText, ManyRewritesKeepEveryCellAfterTheBufferIsTidied) {
    Grid g;
    g.SetCols(4);
    g.SetRows(1);
    for (int r = 0; r < 200; ++r) {
        g.AddItem(RowName(r) + "\tb\tc\td");
    }
    // About 8 MB written to one cell, so most of the buffer is left over
    // and it is copied afresh several times.
    for (int i = 0; i < 2000; ++i) {
        g.SetTextMatrix(100, 2, std::string(4000 + i % 7, static_cast<char>('a' + i % 26)));
    }
    EXPECT_EQ(g.TextMatrix(100, 2),
              std::string(4000 + 1999 % 7, static_cast<char>('a' + 1999 % 26)));
    for (int r = 1; r <= 200; ++r) {
        ASSERT_EQ(g.TextMatrix(r, 0), RowName(r - 1));
        ASSERT_EQ(g.TextMatrix(r, 3), "d");
    }
}

TEST(GridText, TextsLongerThanAStoreBlockSitBesideShortOnes) {
    Grid g;
    g.SetCols(3);
    g.SetRows(4);
    std::string longText(200 * 1024, 'L');
    longText.back() = 'E';
    g.SetTextMatrix(1, 0, "before");
    g.SetTextMatrix(1, 1, longText);
    g.SetTextMatrix(1, 2, "after");
    g.SetTextMatrix(2, 1, g.TextMatrix(1, 1));
    g.SetTextMatrix(3, 1, std::string(70 * 1024, 'x'));
    g.SetTextMatrix(3, 2, "last");
    EXPECT_EQ(g.TextMatrix(1, 1), longText);
    EXPECT_EQ(g.TextMatrix(2, 1), longText);
    EXPECT_EQ(g.TextMatrix(3, 1), std::string(70 * 1024, 'x'));
    EXPECT_EQ(g.TextMatrix(1, 0), "before");
    EXPECT_EQ(g.TextMatrix(1, 2), "after");
    EXPECT_EQ(g.TextMatrix(3, 2), "last");
    g.SetTextMatrix(1, 1, "short again");
    EXPECT_EQ(g.TextMatrix(1, 1), "short again");
    EXPECT_EQ(g.TextMatrix(2, 1), longText);
}

TEST(GridText, FewerAndMoreColumnsKeepTheTextsThatStay) {
    Grid g;
    g.SetFormatString("A|B|C");
    g.SetRows(1);
    g.AddItem("1\t2\t3");
    g.AddItem("4\t5\t6");
    g.SetCols(2);
    EXPECT_EQ(g.TextMatrix(0, 1), "B");
    EXPECT_EQ(g.TextMatrix(2, 0), "4");
    EXPECT_EQ(g.TextMatrix(2, 1), "5");
    g.SetCols(4);
    EXPECT_EQ(g.TextMatrix(1, 1), "2");
    EXPECT_EQ(g.TextMatrix(1, 2), "") << "a dropped column does not come back";
    EXPECT_EQ(g.TextMatrix(1, 3), "");
    g.SetRows(2);
    g.SetRows(3);
    EXPECT_EQ(g.TextMatrix(1, 0), "1");
    EXPECT_EQ(g.TextMatrix(2, 0), "") << "a dropped row does not come back";
}

TEST(GridText, ACopiedGridHasTheSameTexts) {
    Grid g;
    g.SetTextMatrix(1, 1, "kept");
    Grid copy = g;
    g.SetTextMatrix(1, 1, "changed");
    EXPECT_EQ(copy.TextMatrix(1, 1), "kept");
}

TEST(GridMarks, AMarkTellsWhetherTheRowWentInAndGoesWithItsRow) {
    Grid grid;
    grid.SetRows(4);
    grid.SetRowMark(1, Rgb{226, 239, 218}, "Written (ItemID 2).", true);
    grid.SetRowMark(3, Rgb{255, 199, 206}, "Item row 4, A3: the disk is full.");
    ASSERT_NE(grid.FindRowMark(1), nullptr);
    EXPECT_TRUE(grid.FindRowMark(1)->wentIn);
    EXPECT_FALSE(grid.FindRowMark(3)->wentIn) << "a mark says not in unless told";
    EXPECT_EQ(grid.FindRowMark(2), nullptr);
    grid.SetRows(2);
    EXPECT_EQ(grid.RowMarkCount(), 1u) << "the rows cut off take their marks along";
}

}  // namespace
}  // namespace ledgerlift
