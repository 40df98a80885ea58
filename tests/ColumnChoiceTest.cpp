// The columns the operator chose, over a sheet's heading row.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/ColumnChoice.h"

namespace ledgerlift {
namespace {

// A heading row: A Code, B Item, C Qty, D Qty, E (blank), F Notes.
const std::vector<std::string> kHeadings = {"", "Code", "Item", "Qty", "Qty", "", "Notes"};

struct Chosen {
    const char* name;
    ChosenField field;  // for QOH (grid column 5)
    int column;         // the column QOH is read from (0: none)
};

class ChosenColumn : public ::testing::TestWithParam<Chosen> {};

TEST_P(ChosenColumn, IsReadAsChosen) {
    std::vector<ChosenField> fields = {{1, "code", 0}, {2, "", 2}, GetParam().field};
    ColumnMap map = ChosenColumns(kHeadings, SheetKind::Items, fields, "worksheet 1 (Stock)");
    EXPECT_EQ(map.problem, "");
    EXPECT_EQ(map.ColumnOf(1), 1);
    EXPECT_EQ(map.ColumnOf(2), 2);
    EXPECT_EQ(map.ColumnOf(5), GetParam().column);
    EXPECT_EQ(map.fields[5].how, GetParam().column ? FoundBy::Chosen : FoundBy::NotFound);
    EXPECT_TRUE(map.recognised);
    EXPECT_FALSE(map.described);
}

INSTANTIATE_TEST_SUITE_P(
    Load, ChosenColumn,
    ::testing::Values(Chosen{"TheLetterTellsApartTwoLikeHeadings", {5, "Qty", 4}, 4},
                      Chosen{"TheLetterAloneWhenTheHeadingIsEmpty", {5, " ", 5}, 5},
                      Chosen{"TheHeadingDecidesOverTheLetter", {5, "notes", 3}, 6},
                      Chosen{"NeitherIsNotInTheWorkbook", {5, "", 0}, 0},
                      Chosen{"ALetterBeyondTheHeadingsReadsEmpty", {5, "", 40}, 40}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChosenColumns, TheColumnsNotChosenAreUnused) {
    ColumnMap map =
        ChosenColumns(kHeadings, SheetKind::Items, {{1, "Code", 0}, {2, "Item", 0}}, "worksheet 1");
    EXPECT_EQ(map.unused, (std::vector<int>{3, 4, 6}));
    EXPECT_EQ(map.ColumnOf(5), 0);
}

TEST(ChosenColumns, TwoLikeHeadingsWithoutALetterAreRefused) {
    try {
        ChosenColumns(kHeadings, SheetKind::Items, {{5, "Qty", 0}}, "worksheet 1 (Stock)");
        FAIL() << "no refusal";
    } catch (const ColumnsError& error) {  // the window opens the dialog for it
        EXPECT_STREQ(error.what(),
                     "In worksheet 1 (Stock), columns C and D both have the heading \"Qty\" "
                     "chosen for QOH. Give the letter of the one to read as well.");
    }
}

TEST(ChosenColumns, ARequiredFieldLeftOutIsTheMapsProblem) {
    ColumnMap map = ChosenColumns(kHeadings, SheetKind::Ledgers, {{1, "Code", 0}}, "worksheet 2");
    EXPECT_EQ(map.problem, "no column is chosen for Ledger Name");
}

}  // namespace
}  // namespace ledgerlift
