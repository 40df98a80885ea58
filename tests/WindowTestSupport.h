#pragma once

#include <gtest/gtest.h>

#include <QSize>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "tests/TestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift::test {

// The real window operations with the dialogs and message boxes answered as
// the test says, every message kept. OK is answered OK; a question Yes,
// unless answer says otherwise. The open dialog gives file (when there is
// none: the file queued, else the real dialog); each save dialog the next
// of saveFiles (none left: cancelled), its suggested name kept; the list of
// backups the entry choice (none: cancelled). onPass runs after every event
// pass, as the operator's hand would between two rows, never from inside
// itself.
class AnsweringOps : public QtWindowOps {
  public:
    std::vector<std::string> messages;
    std::function<MsgAnswer(const std::string&)> answer;
    std::string file;
    std::deque<std::string> saveFiles;
    std::vector<std::string> saveNames;
    std::optional<int> choice;
    std::vector<std::string> listed;
    std::function<void()> onPass;

    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                     const std::string& caption = "") override;
    std::optional<std::string> ShowOpen(const std::string& filter) override;
    std::optional<std::string> ShowSave(const std::string& filter,
                                        const std::string& fileName) override;
    std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& entries) override;
    void DoEvents() override;

    // Whether a message began so.
    bool Asked(const std::string& start) const;

  private:
    bool inPass_ = false;
};

// The first widget of type T under root with the accessible name.
template <typename T>
T* FindByName(QWidget& root, const QString& name) {
    for (T* w : root.findChildren<T*>()) {
        if (w->accessibleName() == name) {
            return w;
        }
    }
    return nullptr;
}

// The real window, shown, over the form started on a product folder that
// holds the company DEMO; the operations answer as the test says.
class DemoWindow : public ::testing::Test {
  protected:
    void SetUp() override { Show(); }
    void TearDown() override;

    // Lists the companies (DEMO's database in db), starts the form, and
    // shows the window over it (at size, when one is given).
    void Show(const std::vector<std::string>& companies = {"DEMO"}, QSize size = QSize());
    // "Load Excel Data" on the workbook.
    void Load(const std::string& path);

    ProductFolder product;
    std::string db;  // the first company's database (DEMO's)
    AnsweringOps ops;
    MainForm form{product.Path(), ops};
    std::unique_ptr<MainWindow> window;
};

}  // namespace ledgerlift::test
