// What the window brings from the start: the product folder it shows, a
// workbook given on the command line, what it remembers between runs, and the
// file dialog that chooses a workbook.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>

#include "qt/MainWindow.h"
#include "qt/ProductFolderDialog.h"
#include "qt/QtWindowOps.h"
#include "qt/Settings.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// The operations answer the message boxes; the file dialog is the real one
// unless a file is queued.
using test::AnsweringOps;

// Settings in a folder of the test's own, never the user's.
class WindowStart : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path())); }
    test::TempFolder config;
    test::ProductFolder product;
};

TEST_F(WindowStart, ShowsTheProductFolderItUses) {
    AnsweringOps ops;
    MainForm form(product.Path(), ops);
    MainWindow window(form);
    QLabel* label = window.ProductFolderLabel();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text().toStdString(), "Product folder: " + product.Path());
    EXPECT_EQ(label->accessibleName(), "Product folder");
}

TEST_F(WindowStart, AWorkbookGivenAtStartLoadsAsIfChosenInTheDialog) {
    AnsweringOps ops;
    Settings settings;
    ops.UseSettings(&settings);
    MainForm form(product.Path(), ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    ops.QueueFile(test::FixturePath("two_rows.xls"));
    window.LoadButton()->click();
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
    EXPECT_TRUE(form.workbookLoaded);
    EXPECT_EQ(window.GridView(0)->model()->rowCount(), 3) << "two rows and the empty row";
    EXPECT_EQ(settings.WorkbookFolder().toStdString(),
              std::filesystem::path(test::FixturePath("two_rows.xls")).parent_path().string())
        << "the next dialog opens where this workbook lies";
}

TEST_F(WindowStart, RemembersBetweenRunsInTheUsersSettingsFile) {
    {
        Settings settings;
        EXPECT_EQ(settings.Recall(), "") << "nothing remembered yet";
        settings.Remember(product.Path());
        settings.SetWorkbookFolder("/books");
        settings.SetWindowGeometry(QByteArray("geometry"));
    }
    // Where the man page says (the folder is fixed once per process, by the
    // first test that asks).
    EXPECT_TRUE(
        QSettings("Ledgerlift", "Ledgerlift").fileName().endsWith("/Ledgerlift/Ledgerlift.conf"));
    Settings next;
    EXPECT_EQ(next.Recall(), product.Path());
    EXPECT_EQ(next.WorkbookFolder(), "/books");
    EXPECT_EQ(next.WindowGeometry(), QByteArray("geometry"));
}

// A settings file that is not a plain writable file: read only when it is a
// regular file (or a link to one), written only when it is one and no link.
// Each row once blocked the program, wrote through a link (replacing the
// device it led to) or claimed a choice kept that was not.
struct SettingsFileCase {
    const char* name;
    // Makes the file at path, a regular one holding productFolder=folder.
    void (*make)(const std::string& path, const std::string& folder);
    bool readBack;     // the folder is read from it
    const char* said;  // in the problem, and in what Remember gives
};

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteSettings(const std::string& path, const std::string& folder) {
    std::ofstream(path) << "[General]\nproductFolder=" << folder << "\n";
}

class SpecialSettingsFile : public WindowStart,
                            public ::testing::WithParamInterface<SettingsFileCase> {};

TEST_P(SpecialSettingsFile, NeitherBlocksNorIsWrittenThrough) {
    std::string path = config.File("Ledgerlift/Ledgerlift.conf");
    std::filesystem::create_directories(config.File("Ledgerlift"));
    GetParam().make(path, product.Path());
    auto before = std::filesystem::symlink_status(path).type();
    std::string target =
        std::filesystem::is_symlink(path) ? std::filesystem::read_symlink(path).string() : path;
    std::string text = std::filesystem::is_regular_file(target) ? FileText(target) : "";
    {
        Settings settings;
        EXPECT_EQ(settings.Recall(), GetParam().readBack ? product.Path() : "");
        settings.Remember("/elsewhere");
        settings.SetWindowGeometry(QByteArray("geometry"));
        EXPECT_NE(settings.Remember("signature", "{}").find(GetParam().said), std::string::npos);
        EXPECT_NE(settings.Problem().find(path), std::string::npos) << settings.Problem();
        EXPECT_NE(settings.Problem().find(GetParam().said), std::string::npos)
            << settings.Problem();
    }
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), before) << "left in its place";
    if (!text.empty()) {
        EXPECT_EQ(FileText(target), text) << "nothing written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    WindowStart, SpecialSettingsFile,
    ::testing::Values(SettingsFileCase{"NamedPipe",
                                       [](const std::string& path, const std::string&) {
                                           ::mkfifo(path.c_str(), 0600);
                                       },
                                       false, "is a named pipe, not a file"},
                      SettingsFileCase{"LinkToANamedPipe",
                                       [](const std::string& path, const std::string&) {
                                           ::mkfifo((path + ".pipe").c_str(), 0600);
                                           std::filesystem::create_symlink(path + ".pipe", path);
                                       },
                                       false, "is a named pipe, not a file"},
                      SettingsFileCase{"LinkToAFile",
                                       [](const std::string& path, const std::string& folder) {
                                           WriteSettings(path + ".real", folder);
                                           std::filesystem::create_symlink(path + ".real", path);
                                       },
                                       true, "is a symbolic link"},
                      SettingsFileCase{"ReadOnly",
                                       [](const std::string& path, const std::string& folder) {
                                           WriteSettings(path, folder);
                                           ::chmod(path.c_str(), 0444);
                                       },
                                       true, "is read-only"}),
    [](const auto& info) { return std::string(info.param.name); });

// Answers the modal dialogs as they come up: each folder chooser with the next
// folder of the list, each message box with OK; records what they said.
class DialogAnswerer {
  public:
    explicit DialogAnswerer(std::vector<std::string> folders) : folders_(std::move(folders)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start(20);
    }
    std::vector<std::string> titles, messages;

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            titles.push_back(chooser->windowTitle().toStdString());
            if (next_ < folders_.size()) {
                chooser->setDirectory(QString::fromStdString(folders_[next_++]));
                static_cast<QDialog*>(chooser)->accept();
            } else {
                chooser->reject();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->accept();
        }
    }
    std::vector<std::string> folders_;
    std::size_t next_ = 0;
    QTimer timer_;
};

TEST_F(WindowStart, WithoutAProductFolderTheChooserSaysWhatToPickAndAsksAgain) {
    test::TempFolder bare;
    DialogAnswerer answers({bare.Path(), product.Path()});
    std::string chosen = AskForProductFolder();
    EXPECT_EQ(chosen, product.Path());
    ASSERT_EQ(answers.titles.size(), 2u);
    EXPECT_EQ(answers.titles[0],
              "Choose the product folder: the folder under which Resources/Database lies");
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].rfind(bare.Path() + " holds no Resources/Database folder.", 0),
              0u)
        << answers.messages[0];
    EXPECT_NE(answers.messages[0].find("ledgerlift demo DIR"), std::string::npos);
}

TEST_F(WindowStart, CancellingTheChooserGivesNoFolder) {
    DialogAnswerer answers({});
    EXPECT_EQ(AskForProductFolder(), "");
    EXPECT_EQ(answers.titles.size(), 1u);
}

// What a file dialog lists in its folder under its current filter, folders
// included, once it shows what is awaited or five seconds have passed (Qt
// reads the folder in the background).
std::set<std::string> Listed(QFileDialog& dialog, const std::set<std::string>& awaited) {
    auto* view = dialog.findChild<QListView*>("listView");
    std::set<std::string> names;
    QElapsedTimer waited;
    waited.start();
    while (view) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        names.clear();
        QModelIndex folder = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(folder); ++row) {
            names.insert(view->model()->index(row, 0, folder).data().toString().toStdString());
        }
        if (names == awaited || waited.elapsed() > 5000) {
            break;
        }
    }
    return names;
}

// Makes the named entry of the dialog's list the current one, as a click on
// it does.
void Click(QFileDialog& dialog, const QString& name) {
    auto* view = dialog.findChild<QListView*>("listView");
    QModelIndex folder = view ? view->rootIndex() : QModelIndex();
    for (int row = 0; view && row < view->model()->rowCount(folder); ++row) {
        QModelIndex entry = view->model()->index(row, 0, folder);
        if (entry.data().toString() == name) {
            view->setCurrentIndex(entry);
        }
    }
}

// Looks at the open dialog when it comes up: where it opens, its filters and
// what each lists; then chooses the file named under the first filter.
class OpenDialogLooker {
  public:
    OpenDialogLooker(std::vector<std::set<std::string>> awaited, std::string choose)
        : awaited_(std::move(awaited)), choose_(std::move(choose)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(20);
    }
    QStringList filters;
    QString firstSelected, folder;
    bool qtOwn = false;
    std::vector<std::set<std::string>> listed;

  private:
    void Look() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || looked_) {
            return;
        }
        looked_ = true;
        filters = dialog->nameFilters();
        firstSelected = dialog->selectedNameFilter();
        folder = dialog->directory().absolutePath();
        qtOwn = dialog->testOption(QFileDialog::DontUseNativeDialog);
        for (int i = 0; i < filters.size(); ++i) {
            dialog->selectNameFilter(filters[i]);
            std::size_t index = static_cast<std::size_t>(i);
            listed.push_back(Listed(
                *dialog, index < awaited_.size() ? awaited_[index] : std::set<std::string>{}));
        }
        // Back to the first filter, under which the workbook is chosen.
        dialog->selectNameFilter(filters.value(0));
        Listed(*dialog, awaited_.empty() ? std::set<std::string>{} : awaited_[0]);
        Click(*dialog, QString::fromStdString(choose_));
        static_cast<QDialog*>(dialog)->accept();
        if (dialog->isVisible()) {
            dialog->reject();  // the file was not taken: end the test, not hang it
        }
    }
    std::vector<std::set<std::string>> awaited_;
    std::string choose_;
    bool looked_ = false;
    QTimer timer_;
};

// The dialog shows each filter's patterns as plain as the operator would type
// them, and lists the workbooks under them in any letter case.
TEST_F(WindowStart, TheOpenDialogListsEveryFormatInAnyLetterCase) {
    test::TempFolder books;
    std::string demo = LEDGERLIFT_SOURCE_DIR "/resources/demo/";
    std::filesystem::copy_file(demo + "sample.xlsx", books.File("BOOK.XLSX"));
    std::filesystem::copy_file(demo + "sample.ods", books.File("book.ods"));
    std::filesystem::copy_file(demo + "sample.xls", books.File("Old.Xls"));
    for (const char* other : {"Macro.xlsM", "notes.txt", "README"}) {
        std::ofstream(books.File(other)) << "x";
    }
    std::filesystem::create_directory(books.File("folder"));
    AnsweringOps ops;
    Settings settings;
    settings.SetWorkbookFolder(QString::fromStdString(books.Path()));
    ops.UseSettings(&settings);
    MainForm form(product.Path(), ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();

    const std::vector<std::set<std::string>> awaited = {
        {"BOOK.XLSX", "book.ods", "Old.Xls", "Macro.xlsM", "folder"},
        {"Old.Xls", "folder"},
        {"BOOK.XLSX", "Macro.xlsM", "folder"},
        {"book.ods", "folder"},
        {"BOOK.XLSX", "book.ods", "Old.Xls", "Macro.xlsM", "notes.txt", "README", "folder"}};
    OpenDialogLooker look(awaited, "BOOK.XLSX");
    window.LoadButton()->click();

    EXPECT_EQ(look.filters,
              QStringList({"Workbooks (*.xls *.xlsx *.xlsm *.ods)",
                           "Excel 97-2003 Workbooks (*.xls)", "Excel Workbooks (*.xlsx *.xlsm)",
                           "OpenDocument Spreadsheets (*.ods)", "All Files (*)"}));
    EXPECT_EQ(look.firstSelected, look.filters.value(0));
    EXPECT_TRUE(look.qtOwn) << "a native dialog would match the patterns letter for letter";
    EXPECT_EQ(look.folder.toStdString(), books.Path()) << "where the last workbook was chosen";
    EXPECT_EQ(look.listed, awaited);
    EXPECT_EQ(form.fileDialog.FileName, books.File("BOOK.XLSX"));
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
}

}  // namespace
}  // namespace ledgerlift
