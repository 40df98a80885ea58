// Measures the workbook import through the real Qt window: the reader alone
// over the same cells, then the whole import, their ratio and peak memory.
//
// import_bench [workbook.xls]   (without one, 64,999 item and 64,999 ledger
//                                rows are written to a temporary file first)
// Runs on the platform that QT_QPA_PLATFORM names (offscreen by default).

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "app/Form1.h"
#include "app/qt/MainWindow.h"
#include "base/TextRules.h"
#include "bench/BenchSupport.h"
#include "import/CellText.h"
#include "import/XlsReader.h"

using namespace ledgerlift;

namespace {

// Reads what the import reads: column B of each row as the stop test, then
// the row's columns, until column B is blank.
long ReadLikeTheImport(const std::string& path) {
    XlsReader book;
    book.Open(path);
    long cells = 0;
    const int lastCol[2] = {16, 9};
    for (int sheet = 1; sheet <= 2; ++sheet) {
        for (int r = 2; r <= 65000; ++r) {
            if (Trim(CellText(book.Cell(sheet, r, 2))).empty()) {
                break;
            }
            for (int c = 1; c <= lastCol[sheet - 1]; ++c) {
                cells += !CellText(book.Cell(sheet, r, c)).empty();
            }
        }
    }
    return cells;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::string path = argc > 1 ? argv[1] : "";
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() / "ledgerlift-import-bench.xls").string();
        std::fprintf(stderr, "writing %s ...\n", path.c_str());
        bench::MakeWorkbook(path, 64999, 64999, 100);
    }

    bench::Stopwatch readerClock;
    long cells = ReadLikeTheImport(path);
    double readerSeconds = readerClock.Seconds();

    bench::UnattendedQtOps ops;
    ops.file = path;
    Form1 form("/nonexistent", ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    QApplication::processEvents();
    bench::Stopwatch importClock;
    form.cmdLoad_Click();
    QApplication::processEvents();
    double importSeconds = importClock.Seconds();

    std::printf("platform          %s\n", QApplication::platformName().toUtf8().constData());
    std::printf("rows              %d items, %d ledgers (%ld filled cells)\n", form.msf1.Rows() - 2,
                form.msf2.Rows() - 2, cells);
    std::printf("reader alone      %.2f s\n", readerSeconds);
    std::printf("whole import      %.2f s\n", importSeconds);
    std::printf("ratio             %.2f (target: at most 2)\n", importSeconds / readerSeconds);
    std::printf("peak memory       %.0f MB (target: under 400)\n", bench::PeakMegabytes());
    return form.blnExcelLoaded ? 0 : 1;
}
