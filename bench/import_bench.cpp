// Measures the workbook import through the real Qt window for each format
// that it reads: the reader alone over the cells that the import reads, then
// the whole import, the import's ratio to the reader alone and to the .xls
// import of the same content in the same run, and the peak memory. Each
// workbook is measured in a process of its own, so that each peak memory is
// that format's own. Beside the elapsed seconds, the processor seconds of
// the same steps (both threads of the .xlsx reader counted): on a machine
// that others share, they move less than the elapsed ones.
//
// Text exports are a file per sheet: the items and the ledgers of the .xls
// saved as CSV (comma-separated UTF-8 with a byte-order mark) and as TSV
// (tab-separated UTF-16 with its mark), measured as one set. The reader reads
// the files together; the window loads one file at a time, so the import is
// the loads of the files one after the other, added up.
//
// import_bench                      writes 64,999 item and 64,999 ledger rows
//                                   as .xls (xlwt), .xlsx (XlsxWriter) and .ods
//                                   (LibreOffice, when it is there), and the
//                                   .xls's sheets as CSV and TSV, to the
//                                   temporary folder, then measures them
// import_bench BOOK.xls [MORE...]   measures these workbooks; the first is the
//                                   reference of the ratios; text files of
//                                   one set are joined by '+'
//                                   (Items.csv+Ledgers.csv)
// import_bench --one BOOK           measures one workbook (or set of text
//                                   files) in this process and prints its
//                                   figures on one line
// Runs on the platform that QT_QPA_PLATFORM names (offscreen by default).

#include <QApplication>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/TextRules.h"
#include "bench/BenchSupport.h"
#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"
#include "qt/MainWindow.h"
#include "window/MainForm.h"

using namespace ledgerlift;

namespace {

// The processor seconds that this process has taken so far, all threads.
double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The files of a set of text files joined by '+', or the one workbook.
std::vector<std::string> FilesOf(const std::string& set) {
    std::vector<std::string> files;
    std::size_t from = 0;
    for (std::size_t plus; (plus = set.find('+', from)) != std::string::npos; from = plus + 1) {
        files.push_back(set.substr(from, plus - from));
    }
    files.push_back(set.substr(from));
    return files;
}

// Reads what the import reads: column B of each row as the stop test, then
// the row's columns, until column B is blank.
long ReadLikeTheImport(const std::vector<std::string>& files) {
    AnyWorkbookReader book;
    book.OpenFiles(files);
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

struct Figures {
    std::string path;
    double readerSeconds = 0;
    double importSeconds = 0;
    double readerCpu = 0;
    double importCpu = 0;
    double peakMegabytes = 0;
    int items = 0;
    int ledgers = 0;
    long cells = 0;
    bool loaded = false;
};

// The import of one workbook (or set of text files), in this process.
int MeasureOne(int argc, char** argv, const std::string& set) {
    QApplication app(argc, argv);
    const std::vector<std::string> files = FilesOf(set);
    bench::Stopwatch readerClock;
    double readerCpu = ProcessorSeconds();
    long cells = ReadLikeTheImport(files);
    double readerSeconds = readerClock.Seconds();
    readerCpu = ProcessorSeconds() - readerCpu;

    bench::UnattendedQtOps ops;
    MainForm form("/nonexistent", ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    QApplication::processEvents();
    double importSeconds = 0;
    double importCpu = 0;
    int items = 0;
    int ledgers = 0;
    bool loaded = true;
    for (const std::string& file : files) {
        ops.file = file;
        bench::Stopwatch importClock;
        double cpu = ProcessorSeconds();
        form.OnLoad();
        QApplication::processEvents();
        importSeconds += importClock.Seconds();
        importCpu += ProcessorSeconds() - cpu;
        items = std::max(items, form.itemGrid.Rows() - 2);
        ledgers = std::max(ledgers, form.ledgerGrid.Rows() - 2);
        loaded = loaded && form.workbookLoaded;
    }
    std::printf("figures %.3f %.3f %.1f %d %d %ld %d %s %.3f %.3f\n", readerSeconds, importSeconds,
                bench::PeakMegabytes(), items, ledgers, cells, loaded ? 1 : 0,
                QApplication::platformName().toUtf8().constData(), readerCpu, importCpu);
    return loaded ? 0 : 1;
}

// Runs this program on one workbook and reads its line of figures.
Figures MeasureInOwnProcess(const std::string& self, const std::string& path,
                            std::string& platform) {
    Figures f;
    f.path = path;
    std::string command = "'" + self + "' --one '" + path + "'";
    FILE* child = popen(command.c_str(), "r");
    char line[512];
    while (child && std::fgets(line, sizeof line, child)) {
        char name[64] = "";
        int loaded = 0;
        if (std::sscanf(line, "figures %lf %lf %lf %d %d %ld %d %63s %lf %lf", &f.readerSeconds,
                        &f.importSeconds, &f.peakMegabytes, &f.items, &f.ledgers, &f.cells, &loaded,
                        name, &f.readerCpu, &f.importCpu) == 10) {
            f.loaded = loaded != 0;
            platform = name;
        }
    }
    if (child) {
        pclose(child);
    }
    return f;
}

// A field of a text export, quoted when it holds the delimiter, a quote or a
// line end, as spreadsheet programs save it.
std::string Field(const std::string& text, char delimiter) {
    if (text.find_first_of(std::string("\"\r\n") + delimiter) == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// The sheets of a workbook saved as text, a file per sheet named after it,
// lines ended with CR LF: comma-separated UTF-8 with its byte-order mark, or
// tab-separated UTF-16 (little-endian) with its mark. Gives the set.
std::string SaveAsText(const std::string& workbook, const std::filesystem::path& folder,
                       bool utf16) {
    std::filesystem::create_directories(folder);
    AnyWorkbookReader book;
    book.Open(workbook);
    const char delimiter = utf16 ? '\t' : ',';
    std::string set;
    std::string text;
    for (int sheet = 1; sheet <= book.SheetCount(); ++sheet) {
        std::string lines = utf16 ? "" : "\xEF\xBB\xBF";
        const int lastRow = book.LastRow(sheet);
        const int lastColumn = book.LastColumn(sheet);
        for (int r = 1; r <= lastRow; ++r) {
            for (int c = 1; c <= lastColumn; ++c) {
                book.ReadCellText(sheet, r, c, text);
                lines += (c > 1 ? std::string(1, delimiter) : "") + Field(text, delimiter);
            }
            lines += "\r\n";
        }
        std::string path = (folder / (book.SheetName(sheet) + (utf16 ? ".tsv" : ".csv"))).string();
        std::ofstream out(path, std::ios::binary);
        if (utf16) {
            out << "\xFF\xFE";
            for (char16_t unit : QString::fromStdString(lines).toStdU16String()) {
                out.put(static_cast<char>(unit & 0xFF)).put(static_cast<char>(unit >> 8));
            }
        } else {
            out << lines;
        }
        set += (set.empty() ? "" : "+") + path;
    }
    return set;
}

std::vector<std::string> WriteWorkbooks() {
    auto folder = std::filesystem::temp_directory_path() / "ledgerlift-import-bench";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (const char* ext : {".xls", ".xlsx", ".ods"}) {
        if (std::string(ext) == ".ods" && std::system("command -v soffice >/dev/null") != 0) {
            std::fprintf(stderr, "no LibreOffice (soffice) to write the .ods: left out\n");
            continue;
        }
        std::string path = (folder / (std::string("book") + ext)).string();
        std::fprintf(stderr, "writing %s ...\n", path.c_str());
        bench::MakeWorkbook(path, 64999, 64999, 100);
        paths.push_back(path);
    }
    for (bool utf16 : {false, true}) {
        std::fprintf(stderr, "saving the .xls's sheets as %s ...\n", utf16 ? "TSV" : "CSV");
        paths.push_back(SaveAsText(paths[0], folder / (utf16 ? "tsv" : "csv"), utf16));
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 3 && std::string(argv[1]) == "--one") {
        return MeasureOne(argc, argv, argv[2]);
    }
    std::vector<std::string> paths(argv + 1, argv + argc);
    if (paths.empty()) {
        paths = WriteWorkbooks();
    }
    std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::string platform = "?";
    std::vector<Figures> all;
    for (const auto& path : paths) {
        all.push_back(MeasureInOwnProcess(self, path, platform));
    }
    std::printf("platform  %s; each workbook imported in a process of its own\n\n",
                platform.c_str());
    std::printf("%-8s %-26s %8s %8s %9s %9s %8s   %-21s\n", "format", "rows read (filled cells)",
                "reader", "import", "/reader", "vs first", "peak", "processor: reader import");
    bool allLoaded = true;
    for (const auto& f : all) {
        std::string ext = std::filesystem::path(f.path).extension().string();
        std::string rows = std::to_string(f.items) + "+" + std::to_string(f.ledgers) + " (" +
                           std::to_string(f.cells) + ")";
        std::printf("%-8s %-26s %6.2f s %6.2f s %8.2fx %8.2fx %5.0f MB   %6.2f s %6.2f s%s\n",
                    ext.c_str(), rows.c_str(), f.readerSeconds, f.importSeconds,
                    f.importSeconds / f.readerSeconds, f.importSeconds / all[0].importSeconds,
                    f.peakMegabytes, f.readerCpu, f.importCpu, f.loaded ? "" : "  NOT LOADED");
        allLoaded = allLoaded && f.loaded;
    }
    std::printf(
        "\ntargets   each import at most 3x the first (.xls) and about 1 s, the text exports' at "
        "most 1x; peak at most 150 MB\n");
    return allLoaded ? 0 : 1;
}
