// What the window brings from the start: the product folder it shows, a
// workbook given on the command line, and what it remembers between runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "app/Form1.h"
#include "app/qt/MainWindow.h"
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
    EXPECT_TRUE(std::filesystem::exists(config.File("Ledgerlift/Ledgerlift.conf")));
    Settings next;
    EXPECT_EQ(next.Recall(), product.Path());
    EXPECT_EQ(next.WorkbookFolder(), "/books");
    EXPECT_EQ(next.WindowGeometry(), QByteArray("geometry"));
}

}  // namespace
}  // namespace ledgerlift
