// Measures writing the opening statement of a big company: 65,000 items
// with opening stock in 100 categories and 32,767 ledgers with opening
// balances, written straight into a fresh demo company with SQL in the form
// the migration writes them (an opening-stock history line per item, a
// voucher of two rows per ledger). Prints, in one run:
//   - the seconds to read the statement back from the database, to lay it
//     out, to draw the PDF (65,000 item lines in its appendix) and to write
//     the HTML, with the pages, the file sizes and the lines per second;
//   - the real program's "statement" command end to end, for the PDF;
//   - the peak memory.
//
// statement_bench [items] [ledgers]   (65,000 and 32,767 by default)

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/AtomicFile.h"
#include "company/CompanyDatabase.h"
#include "company/DemoFolder.h"
#include "reports/openingstatement/OpeningStatementDocument.h"
#include "reports/openingstatement/OpeningStatementHtml.h"
#include "reports/openingstatement/OpeningStatementPdf.h"
#include "reports/openingstatement/ReadOpeningStatement.h"

using namespace ledgerlift;
namespace fs = std::filesystem;

namespace {

class Stopwatch {
  public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error ? error : "");
        std::exit(1);
    }
}

// Runs one prepared statement per row, the row's number bound to every
// parameter ?1.
void EachRow(sqlite3* db, const char* sql, int rows) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
    for (int i = 1; i <= rows; ++i) {
        sqlite3_bind_int(stmt, 1, i);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

// The company's items, stock lines, ledgers and vouchers, as a migration on
// 2024-04-01 leaves them.
void FillCompany(const std::string& path, int items, int ledgers) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "begin");
    EachRow(db, "insert into tblCategories values (?1, 'Category ' || printf('%03d', ?1))", 100);
    EachRow(db,
            "insert into tblItemMaster (ItemID, ItemCode, ItemName, CategoryID, PRate) values "
            "(?1, 'IT' || printf('%06d', ?1), 'Item number ' || ?1 || ' of the big workbook', "
            "1 + ?1 % 100, 10 + ?1 % 97 + 0.25)",
            items);
    EachRow(db,
            "insert into tblStockHistory (StockHisID, VchDate, VchType, RefID, ItemID, QtyIn, "
            "QtyOut, PValueIn, PValueOut) values (?1, '2024-04-01', 'OpeningStock', ?1, ?1, "
            "1 + ?1 % 50, 0, (1 + ?1 % 50) * (10 + ?1 % 97 + 0.25), 0)",
            items);
    EachRow(db,
            "insert into tblLedger (LID, LName, GroupName) values (?1, 'Ledger ' || ?1, case ?1 "
            "% 3 when 0 then 'Customer' when 1 then 'Supplier' else 'Sundry Debtors' end)",
            ledgers);
    // A debit balance on even ledgers, a credit balance on odd ones; the row
    // that names the ledger in DrLID carries its side's amount.
    EachRow(db,
            "insert into tblVoucher values (?1, ?1, 'Opening', '2024-04-01', case when ?1 % 2 = 0 "
            "then ?1 else 0 end, case when ?1 % 2 = 0 then 0 else ?1 end, ?1, 'Opening Balance', "
            "100 + ?1 % 1000 + 0.5, 0, '', 0, 0)",
            ledgers);
    EachRow(db,
            "insert into tblVoucher values (?1, ?1, 'Opening', '2024-04-01', case when ?1 % 2 = 0 "
            "then 0 else ?1 end, case when ?1 % 2 = 0 then ?1 else 0 end, ?1, 'Opening Balance', "
            "0, 100 + ?1 % 1000 + 0.5, '', 0, 0)",
            ledgers);
    Exec(db, "commit");
    sqlite3_close(db);
}

double Megabytes(const std::string& path) {
    std::error_code ec;
    return static_cast<double>(fs::file_size(path, ec)) / (1024 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    int items = argc > 1 ? std::atoi(argv[1]) : 65000;
    int ledgers = argc > 2 ? std::atoi(argv[2]) : 32767;
    fs::path folder = fs::temp_directory_path() / ("statement-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    LayOutDemoFolder(folder.string());
    CompanyDatabase demo = LocateCompanyDatabase(folder.string(), "DEMO");
    Stopwatch fill;
    FillCompany(demo.path, items, ledgers);
    std::printf("company: %d items in 100 categories, %d ledgers, written with SQL in %.2f s\n",
                items, ledgers, fill.Seconds());

    Stopwatch read;
    OpeningStatement statement = ReadOpeningStatement(folder.string(), "DEMO");
    double readSeconds = read.Seconds();
    Stopwatch build;
    OpeningStatementDocument document =
        BuildOpeningStatementDocument(statement, DigitGrouping::Indian);
    double buildSeconds = build.Seconds();
    std::size_t lines = 0;
    for (const DocBlock& block : document.blocks) {
        lines += block.table.rows.size();
    }
    std::string pdf = (folder / "statement.pdf").string();
    Stopwatch draw;
    AtomicFile file(pdf);
    int pages = WriteOpeningStatementPdf(document, Paper::A4, file);
    file.Commit();
    double drawSeconds = draw.Seconds();
    std::string html = (folder / "statement.html").string();
    Stopwatch web;
    WriteFileAtomically(html, OpeningStatementHtml(document, Paper::A4));
    double htmlSeconds = web.Seconds();

    std::printf("read back from the database: %.2f s\n", readSeconds);
    std::printf("laid out (%zu table lines): %.2f s\n", lines, buildSeconds);
    std::printf("PDF drawn and written: %.2f s, %d pages, %.1f MB, %.0f lines/s\n", drawSeconds,
                pages, Megabytes(pdf), static_cast<double>(lines) / drawSeconds);
    std::printf("HTML written: %.2f s, %.1f MB\n", htmlSeconds, Megabytes(html));
    std::printf("read + lay out + PDF: %.2f s\n", readSeconds + buildSeconds + drawSeconds);
    std::printf("peak memory: %.0f MB\n", PeakMegabytes());

    std::string command = std::string(LEDGERLIFT_BINARY) + " statement --company DEMO --quiet" +
                          " --product-folder " + folder.string() + " --output " +
                          (folder / "command.pdf").string();
    Stopwatch whole;
    int status = std::system(command.c_str());
    std::printf("ledgerlift statement (the PDF, end to end as a process): %.2f s, exit status %d\n",
                whole.Seconds(), WEXITSTATUS(status));
    fs::remove_all(folder);
    return 0;
}
