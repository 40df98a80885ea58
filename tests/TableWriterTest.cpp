// preview's tables, written a row at a time in each format: what would cut a
// line or a cell short is escaped or quoted, and JSON is always UTF-8.
#include "reports/TableWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ledgerlift {
namespace {

using namespace std::string_literals;

struct Table {
    std::string name;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

std::string Written(TableWriter::Format format, const std::vector<Table>& tables) {
    std::FILE* file = std::tmpfile();
    TableWriter writer(file, format, tables.size() > 1);
    for (const Table& table : tables) {
        writer.BeginTable(table.name, table.columns);
        for (const auto& row : table.rows) {
            writer.Row(std::vector<std::string_view>(row.begin(), row.end()));
        }
    }
    writer.Finish();
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    return text;
}

const Table kItems{"items", {"Code", "Name"}, {{"A1", "Soap"}, {"A\t2", "Oil\\\r\nand \0 NUL"s}}};
const Table kLedgers{"ledgers", {"Name", "Area"}, {}};
// A byte that is no UTF-8 (0xFF) and a character cut short (the first byte
// of "é"), as a cell in another encoding would have them.
const Table kNotUtf8{"items", {"Name", "Cut"}, {{"Caf\xFF", "Caf\xC3"}}};

struct Case {
    const char* name;
    TableWriter::Format format;
    std::vector<Table> tables;
    std::string expected;
};

class EachFormat : public ::testing::TestWithParam<Case> {};

TEST_P(EachFormat, WritesEveryRowWhole) {
    EXPECT_EQ(Written(GetParam().format, GetParam().tables), GetParam().expected);
}

using Format = TableWriter::Format;
INSTANTIATE_TEST_SUITE_P(
    Tables, EachFormat,
    ::testing::Values(
        Case{"TsvEscapesWhatWouldCutALine",
             Format::Tsv,
             {kItems, kLedgers},
             "# items\nCode\tName\nA1\tSoap\nA\\t2\tOil\\\\\\r\\nand \\0 NUL\n"
             "# ledgers\nName\tArea\n"},
        Case{"TsvOfOneTableNamesNone", Format::Tsv, {kLedgers}, "Name\tArea\n"},
        Case{"CsvQuotesWhatWouldCutACell",
             Format::Csv,
             {kItems, kLedgers},
             "# items\r\nCode,Name\r\nA1,Soap\r\nA\t2,\"Oil\\\r\nand \0 NUL\"\r\n"
             "# ledgers\r\nName,Area\r\n"s},
        Case{"JsonOneObjectARow",
             Format::Json,
             {kItems, kLedgers},
             "{\n  \"items\": [\n    {\"Code\":\"A1\",\"Name\":\"Soap\"},\n"
             "    {\"Code\":\"A\\t2\",\"Name\":\"Oil\\\\\\r\\nand \\u0000 NUL\"}\n  ],\n"
             "  \"ledgers\": []\n}\n"},
        Case{"JsonOfNoTableIsAnEmptyObject", Format::Json, {}, "{\n}\n"},
        // Regression: an invalid byte in a cell made invalid JSON.
        Case{"JsonWritesABrokenCharacterAsTheReplacementCharacter",
             Format::Json,
             {kNotUtf8},
             "{\n  \"items\": [\n    {\"Name\":\"Caf\xEF\xBF\xBD\",\"Cut\":\"Caf\xEF\xBF\xBD\"}"
             "\n  ]\n}\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
