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
    // Half a character (once an uncaught exception that closed the window)
    // is written as U+FFFD.
    choice.sheets[0].fields[0].heading = "Code \xC3";
    EXPECT_EQ(ParseColumnsJson(ColumnChoiceJson(choice), "test").sheets[0].fields[0].heading,
              "Code \xEF\xBF\xBD");
}

TEST(ColumnChoiceJson, LetterColumnsReadAsNumbers) {
    EXPECT_EQ(ColumnNumber("A"), 1);
    EXPECT_EQ(ColumnNumber("z"), 26);
    EXPECT_EQ(ColumnNumber("AB"), 28);
    EXPECT_EQ(ColumnNumber("IV"), 256);
    EXPECT_EQ(ColumnNumber("XFD"), 16384);
    EXPECT_EQ(ColumnNumber("XFE"), 0) << "beyond the last column a workbook can have";
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
    std::string Remember(const std::string& signature, const std::string& json) override {
        kept[signature] = json;
        return "";
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

// A remembered choice that can't be read is forgotten with a sentence that
// says why; the load goes on as if none were kept.
struct Damage {
    const char* name;
    const char* json;
    const char* said;
};

class DamagedChoice : public KeptChoices, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedChoice, IsForgottenAndSaidSo) {
    LoadOf("headings/shuffled.xlsx");
    choices.Remember({});
    ASSERT_EQ(memory.kept.size(), 1u);
    memory.kept.begin()->second = GetParam().json;
    EXPECT_TRUE(LoadOf("headings/shuffled.xlsx").Empty());
    EXPECT_NE(choices.Problem().find(GetParam().said), std::string::npos) << choices.Problem();
    EXPECT_TRUE(memory.kept.empty());
}

const Damage kDamages[] = {
    {"CutShort", "{\"sheets\": [", "is not JSON"},
    // Once an uncaught exception on every load of the layout.
    {"NumberOutOfRange", R"({"sheets": [{"sheet": 1, "role": "items", "x": 1e400}]})",
     "number overflow parsing '1e400'"},
    // Once a loop that never ended.
    {"HeadingRowBeyondAnyRow",
     R"({"sheets": [{"sheet": 1, "role": "items", "heading_row": 2147483647}]})",
     "a heading row is a whole number from 1 to 65000"},
};

INSTANTIATE_TEST_SUITE_P(KeptChoices, DamagedChoice, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
