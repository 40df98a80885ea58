// Ledgerlift: moves a company's master data from an Excel workbook into its
// Tallvane company database.

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Form1.h"
#include "app/cli/CommandLine.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtWindowOps.h"

namespace {

// The folder that holds this program.
std::string ProgramFolder(const char* argv0) {
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        self = std::filesystem::absolute(argv0);
    }
    return self.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    if (ledgerlift::WantsCommandLine(argc, argv)) {
        return ledgerlift::RunCommandLine(argc, argv, ProgramFolder(argv[0]));
    }
    QApplication app(argc, argv);
    // Numbers are read and written with "." whatever the operator's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Ledgerlift");
    QApplication::setWindowIcon(QIcon(":/pictures/icon.svg"));

    std::string folder = QCoreApplication::applicationDirPath().toStdString();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--product-folder") == 0 && i + 1 < argc) {
            folder = QDir(argv[++i]).absolutePath().toStdString();
        }
    }

    ledgerlift::QtWindowOps ops;
    ledgerlift::Form1 form(folder, ops);
    ledgerlift::MainWindow window(form);
    ops.Attach(&window);
    form.Form_Load();
    window.Sync();
    window.show();
    return QApplication::exec();
}
