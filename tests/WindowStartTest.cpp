// What the window brings from the start: the product folder it shows, a
// workbook given on the command line, and what it remembers between runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <filesystem>

#include "app/Form1.h"
#include "app/qt/MainWindow.h"
#include "app/qt/ProductFolderDialog.h"
#include "app/qt/QtWindowOps.h"
#include "app/qt/Settings.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// The real window operations with the message boxes answered; the file
// dialog is the real one, so a test must never reach it.
class MessageAnsweringOps : public QtWindowOps {
  public:
    std::vector<std::string> messages;
    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon,
                     const std::string& = "") override {
        messages.push_back(text);
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::OK;
    }
};

// Settings in a folder of the test's own, never the user's.
class WindowStart : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path())); }
    test::TempFolder config;
    test::ProductFolder product;
};

TEST_F(WindowStart, ShowsTheProductFolderItUses) {
    MessageAnsweringOps ops;
    Form1 form(product.Path(), ops);
    MainWindow window(form);
    QLabel* label = window.ProductFolderLabel();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text().toStdString(), "Product folder: " + product.Path());
    EXPECT_EQ(label->accessibleName(), "Product folder");
}

TEST_F(WindowStart, AWorkbookGivenAtStartLoadsAsIfChosenInTheDialog) {
    MessageAnsweringOps ops;
    Settings settings;
    ops.UseSettings(&settings);
    Form1 form(product.Path(), ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    ops.QueueFile(test::FixturePath("two_rows.xls"));
    window.LoadButton()->click();
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
    EXPECT_TRUE(form.blnExcelLoaded);
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

}  // namespace
}  // namespace ledgerlift
