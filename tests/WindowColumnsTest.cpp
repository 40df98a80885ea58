// The window's Columns... dialog, the columns it remembers per workbook
// layout, and Save Template...

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "qt/ColumnsControl.h"
#include "qt/ColumnsDialog.h"
#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "qt/Settings.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// Selects the entry of a box whose data is value.
void Select(QComboBox* box, int value) {
    ASSERT_TRUE(box);
    int index = box->findData(value);
    ASSERT_GE(index, 0) << box->accessibleName().toStdString() << " has no entry " << value;
    box->setCurrentIndex(index);
}

// The window remembering the columns in settings of the test's own.
class WindowColumns : public test::DemoWindow {
  protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
        // The settings file is found once a process: what an earlier test
        // remembered is dropped, so that every test starts with none.
        QSettings("Ledgerlift", "Ledgerlift").remove("columns");
        form.SetColumnMemory(&settings);
        Show();
    }
    // Loads the workbook as the operator would (from the file queued, as the
    // operations give no file of their own); the column dialog, should it
    // open, is handed to onDialog (which must close it).
    void Load(const std::string& workbook, std::function<void(ColumnsDialog&)> onDialog = {}) {
        HandleDialog(std::move(onDialog));
        ops.QueueFile(test::FixturePath(workbook));
        window->LoadButton()->click();
    }
    // The next column dialog goes to onDialog (none: it is cancelled). A
    // dialog waits for the event loop, so the hand-over does too; of the
    // hand-overs still waiting, the first to find the dialog takes it.
    void HandleDialog(std::function<void(ColumnsDialog&)> onDialog) {
        dialogsOpened = 0;
        handler = std::move(onDialog);
        QTimer::singleShot(0, window.get(), [this] {
            auto* dialog = qobject_cast<ColumnsDialog*>(QApplication::activeModalWidget());
            if (dialog && !dialog->property("handled").toBool()) {
                dialog->setProperty("handled", true);
                ++dialogsOpened;
                auto take = std::move(handler);
                handler = nullptr;
                take ? take(*dialog) : dialog->reject();
            }
        });
    }
    std::string Cell(int row, int col) const {
        return std::string(form.itemGrid.TextMatrix(row, col));
    }

    test::TempFolder config;
    Settings settings;
    int dialogsOpened = 0;
    std::function<void(ColumnsDialog&)> handler;
};

// Two columns claim QOH: the load is refused and the dialog opens by itself.
// QOH from C (Qty) and PURCHASE RATE from E (Quantity): OK loads the grids
// so, the next load of a workbook laid out alike uses the choice without
// asking, and Forget drops it.
TEST_F(WindowColumns, ChosenColumnsReloadTheGridsAndAreRememberedUntilForgotten) {
    QPushButton* columns = window->Columns()->ColumnsButton();
    EXPECT_FALSE(columns->isEnabled()) << "nothing loaded yet";
    Load("headings/doubled.xlsx", [](ColumnsDialog& dialog) {
        EXPECT_EQ(dialog.SheetBox(SheetKind::Items)->currentText(), "1: Items");
        EXPECT_EQ(dialog.FieldBox(SheetKind::Items, 5)->currentText(), "(not in the workbook)");
        EXPECT_EQ(dialog.FieldBox(SheetKind::Items, 1)->currentText(), "A  Code  (A1, B2, C3)");
        EXPECT_EQ(dialog.UnusedLabel(SheetKind::Items)->text(), "C (Qty), E (Quantity)");
        EXPECT_FALSE(dialog.ForgetButton()->isEnabled());
        Select(dialog.FieldBox(SheetKind::Items, 5), 3);
        Select(dialog.FieldBox(SheetKind::Items, 6), 5);
        EXPECT_EQ(dialog.UnusedLabel(SheetKind::Items)->text(), "none");
        dialog.accept();
    });
    EXPECT_EQ(dialogsOpened, 1);
    ASSERT_TRUE(form.workbookLoaded) << (ops.messages.empty() ? "" : ops.messages.back());
    EXPECT_EQ(form.itemGrid.Rows(), 5) << "three rows, the header and the empty row";
    EXPECT_EQ(Cell(1, 5), "10");
    EXPECT_EQ(Cell(1, 6), "18");
    EXPECT_EQ(Cell(3, 6), "40");
    EXPECT_TRUE(columns->isEnabled());
    ASSERT_FALSE(form.loadLines.empty());
    EXPECT_NE(form.loadLines.front().find("read as chosen"), std::string::npos);
    EXPECT_TRUE(form.Columns().Remembered());

    form.ClearWorkbookGrids();
    Load("headings/doubled.xls");  // laid out alike, in another format
    EXPECT_EQ(dialogsOpened, 0) << "the remembered choice is used without asking";
    ASSERT_TRUE(form.workbookLoaded);
    EXPECT_EQ(Cell(2, 6), "100");
    EXPECT_NE(form.loadLines.front().find("chosen before"), std::string::npos);
    EXPECT_NE(window->LoadLinesLabel()->text().indexOf("chosen before"), -1)
        << window->LoadLinesLabel()->text().toStdString();

    HandleDialog([](ColumnsDialog& dialog) {
        ASSERT_TRUE(dialog.ForgetButton()->isEnabled());
        dialog.ForgetButton()->click();
        EXPECT_FALSE(dialog.ForgetButton()->isEnabled());
        dialog.reject();
    });
    columns->click();
    EXPECT_EQ(dialogsOpened, 1);
    EXPECT_FALSE(form.Columns().Remembered());
    Load("headings/doubled.xlsx");
    EXPECT_EQ(dialogsOpened, 1) << "forgotten: refused again, and asked";
    EXPECT_FALSE(form.workbookLoaded);
}

// Regression: with a read-only settings file the load said the choice would
// be used again, though nothing kept it.
TEST_F(WindowColumns, AChoiceTheSettingsCannotKeepIsSaidSo) {
    std::string file = config.File("Ledgerlift/Ledgerlift.conf");
    std::filesystem::create_directories(config.File("Ledgerlift"));
    std::ofstream(file) << "[General]\n";
    ::chmod(file.c_str(), 0444);
    Load("headings/doubled.xlsx", [](ColumnsDialog& dialog) {
        Select(dialog.FieldBox(SheetKind::Items, 5), 3);
        Select(dialog.FieldBox(SheetKind::Items, 6), 5);
        dialog.accept();
    });
    ASSERT_TRUE(form.workbookLoaded);
    ASSERT_FALSE(form.loadLines.empty());
    EXPECT_NE(form.loadLines.front().find("could not be kept"), std::string::npos);
    EXPECT_NE(form.loadLines.front().find("is read-only"), std::string::npos);
    EXPECT_FALSE(form.Columns().Remembered());
}

// A workbook found by its headings: the dialog shows what the load read,
// and a sheet chosen as none is not read.
TEST_F(WindowColumns, ASheetChosenByNameOrNoneIsReadSo) {
    Load("headings/shuffled.xlsx");
    ASSERT_TRUE(form.workbookLoaded);
    EXPECT_EQ(form.ledgerGrid.Rows(), 4);
    HandleDialog([](ColumnsDialog& dialog) {
        EXPECT_EQ(dialog.SheetBox(SheetKind::Items)->currentText(), "1: Stock");
        EXPECT_EQ(dialog.SheetBox(SheetKind::Ledgers)->currentText(), "2: Parties");
        EXPECT_EQ(dialog.FieldBox(SheetKind::Items, 1)->currentText(), "B  Code  (A1, B2, C3)");
        dialog.SheetBox(SheetKind::Items)->setCurrentIndex(2);  // Parties as items...
        EXPECT_EQ(dialog.SheetBox(SheetKind::Ledgers)->currentText(), "(none)")
            << "...is no longer the ledgers";
        dialog.SheetBox(SheetKind::Items)->setCurrentIndex(1);
        dialog.SheetBox(SheetKind::Ledgers)->setCurrentIndex(0);
        dialog.accept();
    });
    window->Columns()->ColumnsButton()->click();
    EXPECT_EQ(dialogsOpened, 1);
    ASSERT_TRUE(form.workbookLoaded);
    EXPECT_EQ(form.itemGrid.Rows(), 5);
    EXPECT_EQ(form.ledgerGrid.Rows(), 2) << "no ledger sheet: the header and the empty row";
    EXPECT_EQ(Cell(1, 1), "A1");
    EXPECT_EQ(Cell(1, 2), "Soap");
}

TEST_F(WindowColumns, SaveTemplateWritesAWorkbookThatLoadsAsDescribed) {
    std::string saved = config.File("template.xlsx");
    ops.saveFiles = {saved};
    window->Columns()->SaveTemplateButton()->click();
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_NE(form.statusBox.Text.find("A template to fill in was saved as " + saved),
              std::string::npos);
    ops.QueueFile(saved);
    window->LoadButton()->click();
    EXPECT_TRUE(form.workbookLoaded);
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
}

// Under a real display (xvfb-run), with LEDGERLIFT_SHOTS naming a folder:
// a picture of the dialog over a workbook with shuffled columns.
TEST_F(WindowColumns, Screenshot) {
    QByteArray folder = qgetenv("LEDGERLIFT_SHOTS");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "LEDGERLIFT_SHOTS names no folder";
    }
    Load("headings/shuffled.xlsx");
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QString(folder) + "/columns-window.png"));
    HandleDialog([folder](ColumnsDialog& dialog) {
        dialog.adjustSize();
        QApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(QString(folder) + "/columns-dialog.png"));
        dialog.reject();
    });
    window->Columns()->ColumnsButton()->click();
    EXPECT_EQ(dialogsOpened, 1);
}

}  // namespace
}  // namespace ledgerlift
