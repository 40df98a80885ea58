// The chosen columns as JSON, and the choices the window keeps per workbook
// layout.

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "import/OpenWorkbook.h"
#include "reports/ColumnChoiceJson.h"
#include "tests/TestSupport.h"
#include "window/ColumnChoices.h"

namespace ledgerlift {
namespace {

TEST(ColumnChoiceJson, ReadsBackWhatItWrites) {
    ColumnChoice choice;
    choice.sheets.push_back({{"Stock", 1}, SheetKind::Items, 3, {{1, "Code", 2}, {5, "", 28}}});
    choice.sheets.push_back({{"Read \"me\"", 2}, std::nullopt, 0, {}});
    choice.sheets.push_back({{"Parties", 3}, SheetKind::Ledgers, 0, {}});
    ColumnChoice back = ParseColumnsJson(ColumnChoiceJson(choice), "test");
    EXPECT_EQ(back.sheets, choice.sheets);
}

TEST(ColumnChoiceJson, LetterColumnsReadAsNumbers) {
    EXPECT_EQ(ColumnNumber("A"), 1);
    EXPECT_EQ(ColumnNumber("z"), 26);
    EXPECT_EQ(ColumnNumber("AB"), 28);
    EXPECT_EQ(ColumnNumber("IV"), 256);
    EXPECT_EQ(ColumnNumber(""), 0);
    EXPECT_EQ(ColumnNumber("A1"), 0);
    EXPECT_EQ(ColumnNumber("ABCD"), 0);
}

// A memory in a map.
class MapMemory : public ColumnMemory {
  public:
    std::string Recall(const std::string& signature) const override {
        auto it = kept.find(signature);
        return it == kept.end() ? "" : it->second;
    }
    void Remember(const std::string& signature, const std::string& json) override {
        kept[signature] = json;
    }
    void Forget(const std::string& signature) override { kept.erase(signature); }
    std::map<std::string, std::string> kept;
};

class KeptChoices : public ::testing::Test {
  protected:
    void SetUp() override { choices.SetMemory(&memory); }
    ColumnChoice LoadOf(const std::string& fixture) {
        AnyWorkbookReader book;
        book.Open(test::FixturePath(fixture));
        return choices.ForLoad(book);
    }
    MapMemory memory;
    ColumnChoices choices;
};

TEST_F(KeptChoices, AreUsedForWorkbooksLaidOutAlikeInAnyFormat) {
    EXPECT_TRUE(LoadOf("headings/shuffled.xlsx").Empty());
    EXPECT_FALSE(choices.UsedRemembered());
    ColumnChoice choice;
    choice.itemsSheet = {"", 0};
    choice.sheets.push_back({{"Stock", 1}, SheetKind::Items, 1, {{1, "Code", 2}, {2, "Item", 1}}});
    choices.Remember(choice);
    EXPECT_TRUE(choices.Remembered());
    EXPECT_EQ(LoadOf("headings/shuffled.ods").sheets, choice.sheets);
    EXPECT_TRUE(choices.UsedRemembered());
    EXPECT_TRUE(LoadOf("headings/described.xlsx").Empty()) << "other headings: none";
    EXPECT_FALSE(choices.Remembered());
    LoadOf("headings/shuffled.xls");
    choices.Forget();
    EXPECT_FALSE(choices.Remembered());
    EXPECT_TRUE(LoadOf("headings/shuffled.xlsx").Empty());
}

TEST_F(KeptChoices, ADamagedOneIsForgottenAndSaidSo) {
    LoadOf("headings/shuffled.xlsx");
    choices.Remember({});
    ASSERT_EQ(memory.kept.size(), 1u);
    memory.kept.begin()->second = "{\"sheets\": [";
    EXPECT_TRUE(LoadOf("headings/shuffled.xlsx").Empty());
    EXPECT_NE(choices.Problem().find("is not JSON"), std::string::npos) << choices.Problem();
    EXPECT_TRUE(memory.kept.empty());
}

}  // namespace
}  // namespace ledgerlift
