// Measures a whole migration through the real Qt window (offscreen) with the
// operator's answers given: a workbook of 32,767 items (each with an opening
// quantity, about 100 categories) and 32,767 ledgers (each with an opening
// balance) into a fresh demo company. Prints seconds per stage, rows per
// second, peak memory, and, as the reference, the time of the very same
// statements run inside one transaction on another fresh company.
//
// migration_bench [rows]   (32,767 by default)

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/CompanyBackups.h"
#include "app/CompanyConnection.h"
#include "app/Form1.h"
#include "app/qt/MainWindow.h"
#include "bench/BenchSupport.h"
#include "data/Recordset.h"
#include "data/Schema.h"

using namespace ledgerlift;
namespace fs = std::filesystem;

namespace {

// Notes the time whenever the run has appended status lines and lets the
// window catch up.
class TimedOps : public bench::UnattendedQtOps {
  public:
    Form1* form = nullptr;
    std::vector<std::pair<std::string, double>> marks;
    bench::Stopwatch clock;
    std::size_t seen = 0;

    void DoEvents() override {
        if (form && form->txtStatus.Text.size() != seen) {
            seen = form->txtStatus.Text.size();
            const std::string& text = form->txtStatus.Text;
            marks.emplace_back(text.substr(text.rfind('\n') + 1), clock.Seconds());
        }
        QtWindowOps::DoEvents();
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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int rows = argc > 1 ? std::stoi(argv[1]) : 32767;
    fs::path work = fs::temp_directory_path() / "ledgerlift-migration-bench";
    fs::remove_all(work);
    fs::create_directories(work);
    std::string book = (work / "book.xls").string();
    std::fprintf(stderr, "writing %s ...\n", book.c_str());
    bench::MakeWorkbook(book, rows, rows, 100);
    std::string db = MakeCompany(work / "run");

    TimedOps ops;
    ops.file = book;
    Form1 form((work / "run").string(), ops);
    ops.form = &form;
    MainWindow window(form);
    ops.Attach(&window);
    form.Form_Load();
    window.show();
    form.txtCompanyName.SetListIndex(0);  // DEMO

    bench::Stopwatch importClock;
    form.cmdLoad_Click();
    double importSeconds = importClock.Seconds();

    std::vector<std::string> statements;
    cnCompany.SetTracer([&](const std::string& s) { statements.push_back(s); });
    ops.marks.clear();
    ops.seen = form.txtStatus.Text.size();
    ops.clock = bench::Stopwatch();
    form.cmdMigrate_Click();
    double runSeconds = ops.clock.Seconds();
    cnCompany.SetTracer(nullptr);
    cnCompany.Close();
    double peak = bench::PeakMegabytes();

    // The backup a run makes before its first write, of the company as the
    // run left it: every item and ledger in it.
    bench::Stopwatch backupClock;
    BackupInfo backup = CompanyBackups(LocateCompanyDatabase((work / "run").string(), "DEMO"))
                            .MakeFromFile("migration_bench");
    double backupSeconds = backupClock.Seconds();

    // The reference: the same statements, literal, in one transaction.
    std::string refDb = MakeCompany(work / "reference");
    Connection reference;
    reference.Open("Data Source=" + refDb);
    bench::Stopwatch refClock;
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
    double refSeconds = refClock.Seconds();

    auto at = [&](const std::string& line) {
        for (const auto& [text, seconds] : ops.marks) {
            if (text == line) {
                return seconds;
            }
        }
        return -1.0;
    };
    double categories = at("Started Migrating Item Master") - at("Migrating Category Master");
    double items =
        at("Started Migrating Item Customer Supplier") - at("Started Migrating Item Master");
    double ledgers = at("*************************************************") -
                     at("Started Migrating Item Customer Supplier");
    std::printf("rows              %d items, %d ledgers\n", rows, rows);
    std::printf("import            %.2f s\n", importSeconds);
    std::printf("categories        %.2f s\n", categories);
    std::printf("items and stock   %.2f s  (%.0f rows/s)\n", items, rows / items);
    std::printf("ledgers, vouchers %.2f s  (%.0f rows/s)\n", ledgers, rows / ledgers);
    std::printf("whole run         %.2f s  (import excluded)\n", runSeconds);
    std::printf("reference         %.2f s  (the same %zu statements in one transaction)\n",
                refSeconds, statements.size());
    std::printf("ratio             %.2f (target: at most 2)\n", runSeconds / refSeconds);
    std::printf("peak memory       %.0f MB (target: under 500)\n", peak);
    std::printf(
        "backup            %.2f s  (the company database after the run, %s; %.2fx the "
        "run, target: at most 0.5x)\n",
        backupSeconds, CompanyBackups::SizeText(backup.bytes).c_str(), backupSeconds / runSeconds);
    fs::remove_all(work);
    return 0;
}
