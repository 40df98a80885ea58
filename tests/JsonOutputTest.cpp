// The JSON the program writes, as scripts and people read it: its layout, its
// numbers, and valid UTF-8 whatever bytes a path or a name holds.
#include "reports/JsonOutput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "reports/CheckJson.h"
#include "reports/ColumnChoiceJson.h"

namespace ledgerlift {
namespace {

struct Case {
    const char* name;
    std::string (*write)();
    std::string expected;
};

class Written : public ::testing::TestWithParam<Case> {};

TEST_P(Written, AsExpectedAndValidJson) {
    std::string text = GetParam().write();
    EXPECT_EQ(text, GetParam().expected);
    // nlohmann-json reads only valid UTF-8.
    EXPECT_TRUE(nlohmann::json::accept(text)) << text;
}

std::string CheckOfAnOverflowingSum() {
    CheckResult r;
    r.workbook = "/books/Caf\xFF.xls";  // a path in Latin-1
    r.company = "DEMO";
    r.date = "2009-04-01";
    r.categoriesNew = 1;
    r.totals.quantity = INFINITY;  // Regression: NumberText threw, and the check ended unsaid
    r.totals.stockValue = 10;
    r.totals.debit = 100.25;
    r.totals.credit = 1e20;
    r.loadWarnings = {"a", "b"};
    r.problems.push_back({"ledgers", 3, "Too big", Problem::Severity::Error, "It is too big.",
                          "too-large", "G", "OpeningBalance"});
    return CheckJson(r);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Written,
    ::testing::Values(
        Case{"TheCheckNamesEveryTotalAndProblem", CheckOfAnOverflowingSum,
             "{\n"
             "  \"workbook\": \"/books/Caf\xEF\xBF\xBD.xls\",\n"
             "  \"company\": \"DEMO\",\n"
             "  \"date\": \"2009-04-01\",\n"
             "  \"categories\": {\"new\": 1, \"existing\": 0},\n"
             "  \"items\": {\"rows\": 0, \"new\": 0, \"existing\": 0, \"failing\": 0},\n"
             "  \"opening_stock\": {\"lines\": 0, \"quantity\": null, \"value\": 10},\n"
             "  \"ledgers\": {\"rows\": 0, \"new\": 0, \"existing\": 0, \"failing\": 0},\n"
             "  \"opening_balances\": {\"debit\": 100.25, \"credit\": 1e+20, \"stock_value\": "
             "10, \"difference\": -1e+20},\n"
             "  \"load_warnings\": [\"a\", \"b\"],\n"
             "  \"problems\": [\n"
             "    {\"sheet\": \"ledgers\", \"row\": 3, \"column\": \"G\", \"heading\": "
             "\"OpeningBalance\", \"key\": \"Too big\", \"severity\": \"error\", \"kind\": "
             "\"too-large\", \"text\": \"It is too big.\"}\n"
             "  ]\n"
             "}\n"},
        Case{"AListOfObjectsTakesALineAnObject",
             [] {
                 return JsonDocument({{"sheets",
                                       {{{"sheet", 1},
                                         {"fields", {{{"field", "QOH"}}}},
                                         {"unused", OrderedJson::array()}},
                                        {{"sheet", 2}, {"role", "none"}}}}});
             },
             "{\n"
             "  \"sheets\": [\n"
             "    {\"sheet\": 1, \"fields\": [\n"
             "      {\"field\": \"QOH\"}\n"
             "    ], \"unused\": []},\n"
             "    {\"sheet\": 2, \"role\": \"none\"}\n"
             "  ]\n"
             "}\n"},
        Case{"NamesAndTextsAreEscapedAndUtf8",
             [] {
                 return JsonDocument(
                     {{"Na\"me\xC3", "tab\there\x01"}, {"empty", OrderedJson::object()}});
             },
             "{\n  \"Na\\\"me\xEF\xBF\xBD\": \"tab\\there\\u0001\",\n  \"empty\": {}\n}\n"},
        Case{"NumbersKeepTheirValue",
             [] {
                 return CompactJson({JsonNumber("1500"), JsonNumber("-250.5"), JsonNumber("0.3"),
                                     JsonNumber("0.0001"), JsonNumber("1E+20")});
             },
             "[1500,-250.5,0.3,0.0001,1e+20]"},
        // The window keeps its column choices as JSON; a name that is no
        // UTF-8 made the writer throw.
        Case{"TheKeptColumnChoiceIsUtf8",
             [] {
                 ColumnChoice choice;
                 choice.sheets.push_back({{"Caf\xFF", 1}, SheetKind::Items, 1, {{1, "Co\xFF", 0}}});
                 return ColumnChoiceJson(choice);
             },
             "{\n \"sheets\": [\n  {\n   \"fields\": [\n    {\n     \"column\": \"\",\n"
             "     \"field\": \"ITEM CODE\",\n     \"heading\": \"Co\xEF\xBF\xBD\"\n    }\n   ],\n"
             "   \"heading_row\": 1,\n   \"name\": \"Caf\xEF\xBF\xBD\",\n   \"role\": \"items\",\n"
             "   \"sheet\": 1\n  }\n ]\n}"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
