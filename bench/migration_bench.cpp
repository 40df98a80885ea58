// Measures a whole migration through the real Qt window (offscreen) with the
// operator's answers given: a workbook of 32,767 items (each with an opening
// quantity, about 100 categories) and 32,767 ledgers (each with an opening
// balance) into a fresh demo company. Prints, in one run:
//   - seconds per stage, rows per second and peak memory;
//   - the reference: the very same statements as literal texts, each
//     prepared afresh, inside one transaction on another fresh company, and
//     the whole run's ratio to it;
//   - the item stage beside a loop that inserts the same rows (items, stock,
//     stock history) through hand-prepared statements with bound values;
//   - the same run with the statement cache switched off, and whether the
//     two databases are the same, value for value;
//   - the cost per row of a fresh run at a quarter of the rows, and at all of
//     them (a fresh run should stay linear).
//   - the time of a backup of the company database as the run left it (the
//     backup every real run makes before its first write), beside the run's.
//
// migration_bench [rows]   (32,767 by default)
//
// migration_bench recheck N: a workbook of one item and N ledgers, migrated
// into a fresh company through the window; then, on the company it left,
// "Check Data", the same run again (everything already there), and the
// run with "Replace Opening Balances" ticked after every opening balance
// was changed in the company (each posting removed and posted anew).
// Prints the seconds of each, and each one's ratio to the first run.

#include <sqlite3.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "company/CompanyBackups.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "qt/MainWindow.h"
#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

using namespace ledgerlift;
namespace fs = std::filesystem;

namespace {

// Notes the time whenever the run has appended status lines and lets the
// window catch up.
class TimedOps : public bench::UnattendedQtOps {
  public:
    MainForm* form = nullptr;
    std::vector<std::pair<std::string, double>> marks;
    bench::Stopwatch clock;
    std::size_t seen = 0;

    double windowSeconds = 0;  // spent in the window's event passes

    void DoEvents() override {
        if (form && form->statusBox.Text.size() != seen) {
            seen = form->statusBox.Text.size();
            const std::string& text = form->statusBox.Text;
            marks.emplace_back(text.substr(text.rfind('\n') + 1), clock.Seconds());
        }
        bench::Stopwatch pass;
        QtWindowOps::DoEvents();
        windowSeconds += pass.Seconds();
    }

    double At(const std::string& line) const {
        for (const auto& [text, seconds] : marks) {
            if (text == line) {
                return seconds;
            }
        }
        return -1.0;
    }
};

std::string MakeCompany(const fs::path& folder) {
    std::string initial = (folder / "Resources/Database/TallvaneInitial.mdb").string();
    CreateDatabase(initial, LEDGERLIFT_SOURCE_DIR "/resources/schema/initial.sql",
                   LEDGERLIFT_SOURCE_DIR "/resources/demo/companies.sql");
    std::string company = (folder / "Resources/Database/C01/DEMO.mdb").string();
    CreateDatabase(company, LEDGERLIFT_SOURCE_DIR "/resources/schema/company.sql");
    return company;
}

bool IsTransactionControl(const std::string& s) {
    return s.rfind("savepoint", 0) == 0 || s.rfind("release", 0) == 0 ||
           s.rfind("rollback", 0) == 0 || s.rfind("pragma", 0) == 0;
}

struct RunFigures {
    std::string db;
    double import = 0;
    double categories = 0;
    double items = 0;
    double ledgers = 0;
    double whole = 0;
    double window = 0;  // of the whole run, in the window's event passes
    double peakMb = 0;
    std::vector<std::string> statements;  // when traced
};

// The window on the companies under folder, with DEMO picked and book as
// the workbook that "Load" will open.
struct WindowOnCompany {
    TimedOps ops;
    MainForm form;
    MainWindow window;

    WindowOnCompany(const std::string& book, const fs::path& folder)
        : form(folder.string(), ops), window(form) {
        ops.file = book;
        ops.form = &form;
        ops.Attach(&window);
        form.OnStart();
        window.show();
        form.companyList.SetListIndex(0);  // DEMO
    }
};

// One fresh run through the window: the workbook loaded (not timed), then
// "Start Migration" (timed) into a fresh company under folder.
RunFigures Migrate(const std::string& book, const fs::path& folder, std::size_t cacheSize,
                   bool trace) {
    RunFigures f;
    f.db = MakeCompany(folder);

    WindowOnCompany w(book, folder);
    TimedOps& ops = w.ops;
    MainForm& form = w.form;
    Connection& companyConnection = form.companyConnection;
    companyConnection.SetStatementCacheSize(cacheSize);

    bench::Stopwatch importClock;
    form.OnLoad();
    f.import = importClock.Seconds();

    if (trace) {
        companyConnection.SetTracer([&](const std::string& s) { f.statements.push_back(s); });
    }
    ops.marks.clear();
    ops.windowSeconds = 0;
    ops.seen = form.statusBox.Text.size();
    ops.clock = bench::Stopwatch();
    form.OnMigrate();
    f.whole = ops.clock.Seconds();
    f.window = ops.windowSeconds;
    companyConnection.SetTracer(nullptr);
    companyConnection.Close();
    f.peakMb = bench::PeakMegabytes();

    f.categories = ops.At("Started Migrating Item Master") - ops.At("Migrating Category Master");
    f.items = ops.At("Started Migrating Item Customer Supplier") -
              ops.At("Started Migrating Item Master");
    f.ledgers = ops.At("*************************************************") -
                ops.At("Started Migrating Item Customer Supplier");
    return f;
}

// "Check Data" through the window on a fresh company: the same stages in a
// transaction that is undone. Gives its seconds.
double Check(const std::string& book, const fs::path& folder) {
    MakeCompany(folder);
    WindowOnCompany w(book, folder);
    MainForm& form = w.form;
    form.OnLoad();
    bench::Stopwatch clock;
    form.OnCheck();
    double seconds = clock.Seconds();
    form.companyConnection.Close();
    if (!form.lastCheck.ran) {
        std::fprintf(stderr, "the check did not run\n");
        std::exit(1);
    }
    return seconds;
}

// The statements of a run as literal texts, each prepared afresh, in one
// transaction on a fresh company.
double LiteralReference(const std::vector<std::string>& statements, const fs::path& folder) {
    Connection reference;
    reference.SetStatementCacheSize(0);
    reference.Open("Data Source=" + MakeCompany(folder));
    bench::Stopwatch clock;
    reference.Execute("begin");
    for (const auto& s : statements) {
        if (IsTransactionControl(s)) {
            continue;
        }
        if (s.rfind("select", 0) == 0 || s.rfind("Select", 0) == 0) {
            Recordset rs;
            rs.Open(s, reference);
        } else {
            reference.Execute(s);
        }
    }
    reference.Execute("commit");
    return clock.Seconds();
}

// Every row of a table, each value kept as SQLite gave it.
class TableRows {
  public:
    TableRows(sqlite3* db, const std::string& table) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, ("select * from " + table + " order by rowid").c_str(), -1, &stmt,
                           nullptr);
        columns_ = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < columns_; ++i) {
                values_.push_back(sqlite3_value_dup(sqlite3_column_value(stmt, i)));
            }
        }
        sqlite3_finalize(stmt);
    }
    ~TableRows() {
        for (auto* v : values_) {
            sqlite3_value_free(v);
        }
    }
    TableRows(const TableRows&) = delete;
    TableRows& operator=(const TableRows&) = delete;

    // Inserts the rows into the same table of db with one prepared statement.
    void InsertInto(sqlite3* db, const std::string& table) const {
        std::string sql = "insert into " + table + " values (";
        for (int i = 0; i < columns_; ++i) {
            sql += i ? ",?" : "?";
        }
        sql += ")";
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        for (std::size_t r = 0; r < values_.size(); r += columns_) {
            for (int i = 0; i < columns_; ++i) {
                sqlite3_bind_value(stmt, i + 1, values_[r + i]);
            }
            if (sqlite3_step(stmt) != SQLITE_DONE) {
                std::fprintf(stderr, "hand-prepared insert into %s: %s\n", table.c_str(),
                             sqlite3_errmsg(db));
            }
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
    }

  private:
    int columns_ = 0;
    std::vector<sqlite3_value*> values_;
};

// The rows the item stage wrote, inserted through hand-prepared statements
// with bound values in one transaction on a fresh company.
double HandPreparedItems(const std::string& from, const fs::path& folder) {
    const char* tables[] = {"tblItemMaster", "tblStock", "tblStockHistory"};
    sqlite3* source = nullptr;
    sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::unique_ptr<TableRows>> rows;
    for (const char* table : tables) {
        rows.push_back(std::make_unique<TableRows>(source, table));
    }
    sqlite3_close(source);

    sqlite3* db = nullptr;
    sqlite3_open_v2(MakeCompany(folder).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    bench::Stopwatch clock;
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    for (std::size_t t = 0; t < rows.size(); ++t) {
        rows[t]->InsertInto(db, tables[t]);
    }
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    double seconds = clock.Seconds();
    sqlite3_close(db);
    return seconds;
}

// The benchmark's own folder, empty.
fs::path FreshWorkFolder() {
    fs::path work = fs::temp_directory_path() / "ledgerlift-migration-bench";
    fs::remove_all(work);
    fs::create_directories(work);
    return work;
}

// The seconds a click takes.
template <typename Click>
double Timed(Click click) {
    bench::Stopwatch clock;
    click();
    return clock.Seconds();
}

// See "migration_bench recheck N" above.
int Recheck(int ledgers, const fs::path& work) {
    std::string book = (work / "recheck.xls").string();
    std::fprintf(stderr, "writing %s ...\n", book.c_str());
    bench::MakeWorkbook(book, 1, ledgers, 1);
    fs::path folder = work / "recheck";
    std::string db = MakeCompany(folder);
    WindowOnCompany w(book, folder);
    MainForm& form = w.form;
    form.OnLoad();
    std::fprintf(stderr, "the first run ...\n");
    double first = Timed([&] { form.OnMigrate(); });
    std::fprintf(stderr, "the check ...\n");
    double check = Timed([&] { form.OnCheck(); });
    std::fprintf(stderr, "the run again ...\n");
    double again = Timed([&] { form.OnMigrate(); });
    form.companyConnection.Close();
    test::Execute(db,
                  "update tblVoucher set AmountD = AmountD + 1 where TrType = 'Opening' and "
                  "AmountD > 0");
    form.replaceOpeningsBox.Value = 1;
    std::fprintf(stderr, "the run that replaces the openings ...\n");
    double replace = Timed([&] { form.OnMigrate(); });
    form.companyConnection.Close();
    std::printf("ledgers           %d (and one item)\n", ledgers);
    std::printf("first run         %.2f s\n", first);
    std::printf("check again       %.2f s  (%.2fx the first run; target: at most 2x)\n", check,
                check / first);
    std::printf("run again         %.2f s  (%.2fx; every row already there)\n", again,
                again / first);
    std::printf("replace openings  %.2f s  (%.2fx; every opening balance replaced)\n", replace,
                replace / first);
    std::printf("peak memory       %.0f MB\n", bench::PeakMegabytes());
    fs::remove_all(work);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    fs::path work = FreshWorkFolder();
    if (argc > 2 && std::string(argv[1]) == "recheck") {
        return Recheck(std::stoi(argv[2]), work);
    }
    int rows = argc > 1 ? std::stoi(argv[1]) : 32767;
    int quarter = rows / 4;
    std::string book = (work / "book.xls").string();
    std::string smallBook = (work / "small.xls").string();
    std::fprintf(stderr, "writing %s and %s ...\n", book.c_str(), smallBook.c_str());
    bench::MakeWorkbook(book, rows, rows, 100);
    bench::MakeWorkbook(smallBook, quarter, quarter, 100);

    std::fprintf(stderr, "the run ...\n");
    RunFigures run = Migrate(book, work / "run", Connection::kDefaultStatementCache, false);
    // The statements are taken from this run: recording them costs time and
    // memory that the timed run should not carry.
    // The backup a run makes before its first write, of the company as this
    // run left it: every item and ledger in it.
    bench::Stopwatch backupClock;
    BackupInfo backup = CompanyBackups(LocateCompanyDatabase((work / "run").string(), "DEMO"))
                            .MakeFromFile("migration_bench");
    double backupSeconds = backupClock.Seconds();
    std::fprintf(stderr, "the run without the statement cache ...\n");
    RunFigures uncached = Migrate(book, work / "uncached", 0, true);
    bool same = test::DumpDatabase(run.db) == test::DumpDatabase(uncached.db);
    std::fprintf(stderr, "the literal reference ...\n");
    double reference = LiteralReference(uncached.statements, work / "reference");
    std::fprintf(stderr, "the hand-prepared item rows ...\n");
    double hand = HandPreparedItems(run.db, work / "hand");
    std::fprintf(stderr, "the check ...\n");
    double check = Check(book, work / "check");
    std::fprintf(stderr, "a fresh run of %d rows ...\n", quarter);
    RunFigures small =
        Migrate(smallBook, work / "small", Connection::kDefaultStatementCache, false);

    auto perRow = [](const RunFigures& f, int n) { return f.whole * 1e6 / (2.0 * n); };
    std::printf("rows              %d items, %d ledgers\n", rows, rows);
    std::printf("import            %.2f s\n", run.import);
    std::printf("categories        %.2f s\n", run.categories);
    std::printf("items and stock   %.2f s  (%.0f rows/s)\n", run.items, rows / run.items);
    std::printf("ledgers, vouchers %.2f s  (%.0f rows/s)\n", run.ledgers, rows / run.ledgers);
    std::printf(
        "whole run         %.2f s  (import excluded; %.2f s of it in the window's event "
        "passes)\n",
        run.whole, run.window);
    std::printf(
        "reference         %.2f s  (the same %zu statements, literal, in one transaction)\n",
        reference, uncached.statements.size());
    std::printf("ratio             %.2f (target: at most 0.45)\n", run.whole / reference);
    std::printf("hand-prepared     %.2f s  (the item stage's rows with bound values)\n", hand);
    std::printf("items / hand      %.2f (target: at most 3)\n", run.items / hand);
    std::printf(
        "cache off         %.2f s  whole run, items and stock %.2f s (statements recorded)\n",
        uncached.whole, uncached.items);
    std::printf("cache on / off    %.2f; databases %s\n", run.whole / uncached.whole,
                same ? "identical" : "DIFFERENT");
    std::printf("per row           %.1f us at %d rows, %.1f us at %d rows (fresh runs)\n",
                perRow(small, quarter), quarter, perRow(run, rows), rows);
    // What each row beyond the smaller run cost: the fixed costs of a run
    // (connecting, the last checkpoint) drop out.
    std::printf("per further row   %.1f us from %d to %d rows\n",
                (run.whole - small.whole) * 1e6 / (2.0 * (rows - quarter)), quarter, rows);
    std::printf(
        "check             %.2f s  (Check Data on a fresh company: %.2f of the run; "
        "target: at most 1.2)\n",
        check, check / run.whole);
    std::printf("peak memory       %.0f MB (target: under 500)\n", run.peakMb);
    std::printf(
        "backup            %.2f s  (the company database after the run, %s; %.2fx the "
        "run, target: at most 0.5x)\n",
        backupSeconds, CompanyBackups::SizeText(backup.bytes).c_str(), backupSeconds / run.whole);
    fs::remove_all(work);
    return same ? 0 : 1;
}
