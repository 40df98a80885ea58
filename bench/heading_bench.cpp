// Measures how long finding a workbook's sheets and headings takes on a
// workbook made to cost the most: many sheets whose first 10 rows hold 256
// cells each of words that name no field, so that every row is looked at
// and every heading weighed against every field's names. Prints the seconds
// to plan the sheets (the load), to describe them for choosing the columns
// (Columns...), and the cost per heading cell.
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

// Sheets of words, held by no file: every cell of the first rows is a text
// of about 250 bytes of words.
class WordsBook : public WorkbookReader {
  public:
    explicit WordsBook(int sheets) : sheets_(sheets) {
        const char* words[] = {"lorem",      "ipsum", "dolor", "sit", "amet",    "consectetur",
                               "adipiscing", "elit",  "sed",   "do",  "eiusmod", "tempor"};
        for (std::size_t i = 0; text_.size() < 250; ++i) {
            text_ += words[i % (sizeof words / sizeof *words)];
            text_ += ' ';
        }
    }
    void Open(const std::string&) override {}
    int SheetCount() const override { return sheets_; }
    CellValue Cell(int, int row, int col) const override {
        return row <= kRows && col <= kColumns ? CellValue::Text(text_) : CellValue::Empty();
    }
    std::string SheetName(int sheet) const override { return "Sheet" + std::to_string(sheet); }
    int LastRow(int) const override { return kRows; }
    int LastColumn(int) const override { return kColumns; }
    void Close() override {}

  private:
    int sheets_;
    std::string text_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int sheets = argc > 1 ? std::stoi(argv[1]) : 300;
    WordsBook book(sheets);
    auto start = std::chrono::steady_clock::now();
    WorkbookPlan plan = FindSheets(book, "words.xlsx");
    double planSeconds = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    WorkbookColumns columns = DescribeColumns(book, plan);
    double describeSeconds = SecondsSince(start);
    double cells = static_cast<double>(sheets) * kRows * kColumns;
    std::printf("sheets            %d of %d rows x %d cells of words\n", sheets, kRows, kColumns);
    std::printf("plan the sheets   %.2f s  (%.2f us a heading cell; target: under 1 s)\n",
                planSeconds, planSeconds * 1e6 / cells);
    std::printf("describe them     %.2f s  (the Columns... dialog's view, %zu sheets)\n",
                describeSeconds, columns.sheets.size());
    return 0;
}
