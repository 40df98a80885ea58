// Ledgerlift: moves a company's master data from an Excel workbook into its
// Tallvane company database.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Desktop.h"
#include "qt/FirstStart.h"
#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "qt/Settings.h"
#include "qt/WindowPlacement.h"
#include "ui/StatusBox.h"
#include "window/MainForm.h"

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
    ledgerlift::Settings settings;
    ledgerlift::StartRequest start =
        ledgerlift::RunCommandLine(argc, argv, ProgramFolder(argv[0]), settings);
    if (!settings.Problem().empty()) {
        std::fprintf(stderr, "warning: %s\n", settings.Problem().c_str());
    }
    if (!start.openWindow) {
        return start.exitStatus;
    }
    // Qt would abort the program with its own message when it finds no display.
    if (!ledgerlift::DesktopAvailable()) {
        std::fprintf(stderr, "%s\n", ledgerlift::NoDesktopMessage().c_str());
        return ledgerlift::kExitUsage;
    }
    QApplication app(argc, argv);
    // Numbers are read and written with "." whatever the operator's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Ledgerlift");
    QApplication::setApplicationVersion(LEDGERLIFT_VERSION);
    QApplication::setDesktopFileName(LEDGERLIFT_APP_ID);
    QApplication::setWindowIcon(QIcon(":/pictures/icon.svg"));

    std::string folder = start.productFolder.folder;
    if (start.productFolder.source == ledgerlift::ProductFolderSource::None) {
        folder = ledgerlift::AskAtFirstStart();
        if (folder.empty()) {
            std::fprintf(stderr, "No product folder was chosen.\n");
            return ledgerlift::kExitUsage;
        }
    }
    if (ledgerlift::HoldsDatabaseFolder(folder)) {
        settings.Remember(folder);
    }

    ledgerlift::QtWindowOps ops;
    ops.UseSettings(&settings);
    ledgerlift::MainForm form(folder, ops);
    form.SetColumnMemory(&settings);
    ledgerlift::MainWindow window(form);
    ops.Attach(&window);
    form.OnStart();
    if (!settings.Problem().empty()) {
        ledgerlift::AppendStatus(form, ops, "Warning: " + settings.Problem());
    }
    window.Sync();
    window.OnProductFolderChanged([&](const std::string& changed) { settings.Remember(changed); });
    ledgerlift::PlaceWindow(window, settings.WindowGeometry());
    QObject::connect(&app, &QApplication::aboutToQuit,
                     [&] { settings.SetWindowGeometry(window.saveGeometry()); });
    window.show();
    if (!start.workbook.empty()) {
        // As if the operator had chosen it in the file dialog.
        ops.QueueFile(start.workbook);
        QTimer::singleShot(0, window.LoadButton(), &QPushButton::click);
    }
    return QApplication::exec();
}
