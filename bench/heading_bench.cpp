// Measures how long finding a workbook's sheets and headings takes on
// workbooks made to cost the most: many sheets whose first 10 rows hold 256
// cells each of words that name no field, so that every row is looked at
// and every heading weighed against every field's names. Once with a word
// in each cell, once with about 250 bytes of words in each (headings are
// cut at 256 bytes). Prints the seconds to plan the sheets (the load) and
// to describe them for choosing the columns (Columns...), and the cost per
// heading cell.
//
// heading_bench [sheets]   (300 by default)

#include <chrono>
#include <cstdio>
#include <string>

#include "load/SheetPlan.h"
#include "load/WorkbookColumns.h"

using namespace ledgerlift;

namespace {

constexpr int kRows = 10;
constexpr int kColumns = 256;

// Sheets of words, held by no file: each cell of the first rows holds words
// of its own, up to about length bytes.
class WordsBook : public WorkbookReader {
  public:
    WordsBook(int sheets, std::size_t length) : sheets_(sheets), length_(length) {}
    void Open(const std::string&) override {}
    int SheetCount() const override { return sheets_; }
    CellValue Cell(int sheet, int row, int col) const override {
        if (row > kRows || col > kColumns) {
            return CellValue::Empty();
        }
        static const char* const words[] = {"lorem", "ipsum", "dolor",  "amet",
                                            "elit",  "sed",   "tempor", "labore"};
        std::string text;
        auto seed = static_cast<unsigned>(sheet * 7919 + row * 257 + col);
        do {
            seed = seed * 1103515245u + 12345u;
            text += text.empty() ? "" : " ";
            text += words[(seed >> 16) % 8];
            text += std::to_string((seed >> 8) % 1000);
        } while (text.size() < length_);
        return CellValue::Text(text);
    }
    std::string SheetName(int sheet) const override { return "Sheet" + std::to_string(sheet); }
    int LastRow(int) const override { return kRows; }
    int LastColumn(int) const override { return kColumns; }
    void Close() override {}

  private:
    int sheets_;
    std::size_t length_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Measure(int sheets, std::size_t length, const char* what) {
    WordsBook book(sheets, length);
    auto start = std::chrono::steady_clock::now();
    WorkbookPlan plan = FindSheets(book, "words.xlsx");
    double planSeconds = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    WorkbookColumns columns = DescribeColumns(book, plan);
    double describeSeconds = SecondsSince(start);
    double cells = static_cast<double>(sheets) * kRows * kColumns;
    std::printf("%s, %d sheets of %d rows x %d cells\n", what, sheets, kRows, kColumns);
    std::printf("  plan the sheets   %.2f s  (%.2f us a heading cell; target: under 1 s)\n",
                planSeconds, planSeconds * 1e6 / cells);
    std::printf("  describe them     %.2f s  (the Columns... dialog's view of %zu sheets)\n",
                describeSeconds, columns.sheets.size());
}

}  // namespace

int main(int argc, char** argv) {
    int sheets = argc > 1 ? std::stoi(argv[1]) : 300;
    Measure(sheets, 1, "a word a cell");
    Measure(sheets, 250, "about 250 bytes of words a cell");
    return 0;
}
