#include <gtest/gtest.h>

#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "migration/FailureSentence.h"
#include "migration/StepRunner.h"
#include "ui/Grid.h"

namespace ledgerlift {
namespace {

struct ReasonCase {
    const char* name;
    const char* description;
    const char* plain;
};

class PlainReasons : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(PlainReasons, SpeakTheBookkeepersLanguage) {
    EXPECT_EQ(PlainReason(GetParam().description), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, PlainReasons,
    ::testing::Values(
        ReasonCase{"ALedgerNameRepeated",
                   "The record was not saved because it would repeat a value of tblLedger.LName, "
                   "which must be unique (UNIQUE KEY).",
                   "a ledger with this name is already in the company (UNIQUE KEY)."},
        ReasonCase{"AnItemCodeRepeated",
                   "The record was not saved because it would repeat a value of "
                   "tblItemMaster.ItemCode, which must be unique (UNIQUE KEY).",
                   "an item with this code is already in the company (UNIQUE KEY)."},
        ReasonCase{"ACategoryRepeated",
                   "The record was not saved because it would repeat a value of "
                   "tblCategories.Category, which must be unique (UNIQUE KEY).",
                   "a category with this name is already in the company (UNIQUE KEY)."},
        ReasonCase{"AnIdRepeated",
                   "The record was not saved because it would repeat a value of "
                   "tblItemMaster.ItemID, which must be unique (UNIQUE KEY).",
                   "the company already holds a record with the same ItemID "
                   "(tblItemMaster.ItemID) (UNIQUE KEY)."},
        ReasonCase{"ARuleOfTheDatabase",
                   "The record was not saved because it breaks a rule of the database (NOT NULL "
                   "constraint failed: tblLedger.LName).",
                   "the company's database refused the record (NOT NULL constraint failed: "
                   "tblLedger.LName)."},
        ReasonCase{"AnyOtherSentenceAsItIs", "The disk that holds /data/DEMO.mdb is full.",
                   "The disk that holds /data/DEMO.mdb is full."}),
    [](const auto& info) { return std::string(info.param.name); });

class RowSentences : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.SetFormatString(kLedgerFormat);
        grid.SetRows(2);
        grid.SetCols(kLedgerCols);
        grid.SetTextMatrix(1, 0, "17");
        grid.SetTextMatrix(1, ledger::Name, " Acme Traders ");
    }
    Grid grid;
    RowPlace place{"Ledger", grid, 1, ledger::Name};
};

TEST_F(RowSentences, NameTheSheetTheRowAndTheLedgerThenWhy) {
    EXPECT_EQ(RowSentence(place, "The amount 1E+16 is too large for a currency amount."),
              "Ledger row 17, Acme Traders: the amount 1E+16 is too large for a currency amount.");
}

TEST_F(RowSentences, KeepADescriptionThatNamesTheRowAlready) {
    std::string named =
        "Ledger row 17, Acme Traders, column G (OpeningBalance): The amount 1E+16 "
        "is too large for a currency amount.";
    EXPECT_EQ(RowSentence(place, named), named);
}

TEST_F(RowSentences, KeepANameAtTheStartAsItIs) {
    EXPECT_EQ(RowSentence(place, "GetNextId could not read tblLedger."),
              "Ledger row 17, Acme Traders: GetNextId could not read tblLedger.");
}

TEST_F(RowSentences, KeepUniqueKeyForTheStagesToDecideOn) {
    std::string sentence =
        RowSentence(place,
                    "The record was not saved because it would repeat a value of tblLedger.LName, "
                    "which must be unique (UNIQUE KEY).");
    EXPECT_EQ(sentence,
              "Ledger row 17, Acme Traders: a ledger with this name is already in the company "
              "(UNIQUE KEY).");
    EXPECT_TRUE((StepFailure{"insert the ledger", sentence, 0}.IsUniqueKey()));
}

TEST(StageSentences, NameWhereTheStageWas) {
    EXPECT_EQ(StageSentence("Ledger sheet, before the first row",
                            "The database could not carry out the statement (disk I/O error)."),
              "Ledger sheet, before the first row: the database could not carry out the "
              "statement (disk I/O error).");
}

}  // namespace
}  // namespace ledgerlift
