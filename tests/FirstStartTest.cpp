// The first start without a product folder: the welcome, the demo laid out
// in the user's data folder, the chooser that comes back to the welcome; and
// "Change..." beside the product folder in the window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "company/ProductFolder.h"
#include "company/UserDemoFolder.h"
#include "qt/FirstStart.h"
#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "qt/WelcomeDialog.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// Answers each modal dialog as it comes up with the next step of a script;
// records what each one was.
class Script {
  public:
    using Step = std::function<void(QWidget*)>;
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Next(); });
        timer_.start(20);
    }
    std::vector<std::string> seen;

  private:
    void Next() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_) {
            return;
        }
        last_ = modal;
        seen.push_back(modal->metaObject()->className());
        if (next_ < steps_.size()) {
            steps_[next_++](modal);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();  // the script is over: end the test, not hang it
        }
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QWidget* last_ = nullptr;
    QTimer timer_;
};

void Click(QWidget* modal, const QString& name) {
    for (auto* button : modal->findChildren<QPushButton*>()) {
        if (button->accessibleName() == name || button->text().remove('&') == name) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << name.toStdString();
}

class FirstStart : public ::testing::Test {
  protected:
    void SetUp() override {
        before = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        // Qt's file dialog keeps its state in the user's settings, whose
        // folder is fixed once per process: never the user's own.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
    }
    void TearDown() override {
        if (before.empty()) {
            unsetenv("XDG_DATA_HOME");
        } else {
            setenv("XDG_DATA_HOME", before.c_str(), 1);
        }
    }
    std::string before;
    test::TempFolder data;
    test::TempFolder config;
};

TEST_F(FirstStart, TheWelcomeSaysWhatTheProgramDoesAndNeedsInTwoSentences) {
    WelcomeDialog welcome;
    QString text = WelcomeDialog::kText;
    EXPECT_EQ(text.count(". "), 1) << "two sentences";
    EXPECT_TRUE(text.contains("Resources/Database"));
    ASSERT_TRUE(welcome.DemoButton() && welcome.ChooseButton() && welcome.QuitButton());
    EXPECT_EQ(welcome.DemoButton()->text().remove('&'), "Try the Demo Company");
    EXPECT_EQ(welcome.ChooseButton()->text().remove('&'), "Choose the Product Folder...");
    EXPECT_EQ(welcome.QuitButton()->text().remove('&'), "Quit");
}

TEST_F(FirstStart, TryTheDemoLaysItOutInTheUsersDataFolderAndGivesIt) {
    Script script({[](QWidget* w) { Click(w, "Try the Demo Company"); }});
    std::string folder = AskAtFirstStart();
    EXPECT_EQ(folder, data.Path() + "/ledgerlift/Demo");
    EXPECT_EQ(folder, UserDemoFolder());
    EXPECT_TRUE(HoldsDatabaseFolder(folder));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Resources/Database/sample.xls"));
    // Again: what is there is kept, and the same folder is given.
    Script again({[](QWidget* w) { Click(w, "Try the Demo Company"); }});
    EXPECT_EQ(AskAtFirstStart(), folder);
}

TEST_F(FirstStart, CancelInTheChooserComesBackToTheWelcomeAndQuitGivesNoFolder) {
    Script script({[](QWidget* w) { Click(w, "Choose the Product Folder..."); },
                   [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); },
                   [](QWidget* w) { Click(w, "Quit"); }});
    EXPECT_EQ(AskAtFirstStart(), "");
    EXPECT_EQ(script.seen, (std::vector<std::string>{"ledgerlift::WelcomeDialog", "QFileDialog",
                                                     "ledgerlift::WelcomeDialog"}));
}

TEST_F(FirstStart, AWrongFolderOffersToChooseAgainOrGoBack) {
    test::TempFolder bare;
    test::ProductFolder product;
    auto choose = [](const std::string& folder) {
        return [folder](QWidget* w) {
            auto* chooser = qobject_cast<QFileDialog*>(w);
            chooser->setDirectory(QString::fromStdString(folder));
            static_cast<QDialog*>(chooser)->accept();
        };
    };
    Script script({[](QWidget* w) { Click(w, "Choose the Product Folder..."); },
                   choose(bare.Path()), [](QWidget* w) { Click(w, "Choose Again"); },
                   choose(bare.Path()), [](QWidget* w) { Click(w, "Back"); },
                   [](QWidget* w) { Click(w, "Choose the Product Folder..."); },
                   choose(product.Path())});
    EXPECT_EQ(AskAtFirstStart(), product.Path());
    EXPECT_EQ(script.seen, (std::vector<std::string>{"ledgerlift::WelcomeDialog", "QFileDialog",
                                                     "QMessageBox", "QFileDialog", "QMessageBox",
                                                     "ledgerlift::WelcomeDialog", "QFileDialog"}));
}

TEST_F(FirstStart, TheDemoFolderFollowsTheXdgRules) {
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "relative/path", 1);
    setenv("HOME", data.Path().c_str(), 1);
    std::string folder = UserDemoFolder();
    setenv("HOME", home.c_str(), 1);  // the dialogs of the tests after this one start there
    EXPECT_EQ(folder, data.Path() + "/.local/share/ledgerlift/Demo")
        << "a relative XDG_DATA_HOME is ignored";
}

// The window on a product folder with DEMO and SHOP; a second folder holds
// REAL and BOOKS.
class ChangeProductFolder : public test::DemoWindow {
  protected:
    void SetUp() override {
        second.AddCompany("REAL", "C01", "REAL");
        second.AddCompany("BOOKS", "C02", "BOOKS");
        Show({"DEMO", "SHOP"});
    }
    test::ProductFolder second;
};

TEST_F(ChangeProductFolder, ListsTheOtherFoldersCompaniesAndShowsTheFolder) {
    const test::ProductFolder& first = product;
    std::string remembered;
    window->OnProductFolderChanged([&](const std::string& f) { remembered = f; });
    int asked = 0;
    std::string answer;
    window->SetFolderChooser([&](QWidget*) {
        ++asked;
        return answer;
    });
    auto* combo = window->findChild<QComboBox*>();
    QPushButton* change = window->ChangeFolderButton();
    ASSERT_TRUE(change);
    EXPECT_EQ(change->accessibleName(), "Change...");
    EXPECT_TRUE(change->isVisible());

    change->click();  // cancelled: nothing changes
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(form.ProductFolder(), first.Path());
    EXPECT_EQ(combo->itemText(0), "DEMO");

    answer = second.Path();
    change->click();
    EXPECT_EQ(form.ProductFolder(), second.Path());
    EXPECT_EQ(remembered, second.Path());
    EXPECT_EQ(window->ProductFolderLabel()->text().toStdString(),
              "Product folder: " + second.Path());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "REAL") << "the same number of companies, other names";
    EXPECT_EQ(combo->currentText(), "BOOKS") << "the last one read is selected";
    EXPECT_EQ(form.companyList.Text(), "BOOKS");
    EXPECT_TRUE(ops.messages.empty());
}

}  // namespace
}  // namespace ledgerlift
