// "Save Statement..." in the real window, offscreen: offered for the company
// chosen once it has been migrated, shown disabled while a procedure runs,
// and saving the statement where the operator says, after a name it can't
// use was refused.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <filesystem>

#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

class WindowStatement : public test::DemoWindow {
  protected:
    void SetUp() override {
        Show({"DEMO", "SHOP"});
        Choose(0);  // the window starts on the last company listed
    }
    void Choose(int company) { window->findChild<QComboBox*>()->setCurrentIndex(company); }
    QPushButton* Button() const { return window->SaveOpeningStatementButton(); }

    test::TempFolder out;
};

TEST_F(WindowStatement, IsOfferedForTheChosenCompanyOnceMigrated) {
    ASSERT_EQ(form.companyList.Text(), "DEMO");
    EXPECT_FALSE(Button()->isEnabled()) << "nothing migrated yet";
    Load(test::FixturePath("real_mixed.xls"));
    bool enabledDuringTheRun = false;
    ops.onPass = [&] {
        if (form.Running() == MainForm::Procedure::Migration) {
            enabledDuringTheRun = enabledDuringTheRun || Button()->isEnabled();
        }
    };
    window->MigrateButton()->click();
    ops.onPass = nullptr;
    EXPECT_FALSE(enabledDuringTheRun);
    EXPECT_TRUE(Button()->isEnabled());
    Choose(1);
    ASSERT_EQ(form.companyList.Text(), "SHOP");
    EXPECT_FALSE(Button()->isEnabled()) << "SHOP has not been migrated";
    Choose(0);
    EXPECT_TRUE(Button()->isEnabled());
}

TEST_F(WindowStatement, SavesWhereTheOperatorSaysAfterANameItCannotUse) {
    Load(test::FixturePath("real_mixed.xls"));
    window->MigrateButton()->click();
    ops.messages.clear();
    ops.saveFiles = {test::FixturePath("real_mixed.xls"), out.File("DEMO.pdf")};
    Button()->click();
    ASSERT_EQ(ops.saveNames.size(), 2u);
    EXPECT_EQ(ops.saveNames[0],
              std::string(LEDGERLIFT_FIXTURES_DIR) + "/DEMO opening statement.pdf")
        << "beside the workbook";
    ASSERT_EQ(ops.messages.size(), 1u);
    EXPECT_NE(ops.messages[0].find("needs a name that ends in .pdf"), std::string::npos)
        << ops.messages[0];
    EXPECT_NE(ops.messages[0].find("Choose another file?"), std::string::npos);
    ASSERT_TRUE(std::filesystem::exists(out.File("DEMO.pdf")));
    QString status = window->findChild<QPlainTextEdit*>()->toPlainText();
    EXPECT_TRUE(status.contains(QString::fromStdString(
        "The opening statement of the company DEMO was saved as " + out.File("DEMO.pdf") + " (")))
        << status.toStdString();
    std::string text;
    if (FILE* pipe = popen(("pdftotext '" + out.File("DEMO.pdf") + "' -").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    EXPECT_NE(text.find("Opening difference to be posted to capital: "), std::string::npos) << text;
}

}  // namespace
}  // namespace ledgerlift
