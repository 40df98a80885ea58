#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "qt/AreaHost.h"

class QLabel;
class QLayout;
class QPushButton;
class QWidget;

namespace ledgerlift {

class MainForm;

// The product folder in use, and "Change..." beside it, so that the folder
// whose companies are listed is never in doubt (the demo's or the real one).
struct FolderArea {
    QLabel* folder = nullptr;
    QPushButton* change = nullptr;
    QLayout* row = nullptr;
};

FolderArea BuildFolderArea(const MainForm& form);

// Change... asks for another folder, as at the first start, and has the form
// use it; the label names the folder the form uses.
class FolderBinder : public QObject {
    Q_OBJECT
  public:
    // Asks for another product folder ("" when the operator cancels).
    using Chooser = std::function<std::string(QWidget*)>;

    // refresh shows the window afresh once the form uses another folder.
    FolderBinder(const FolderArea& area, MainForm& form, AreaHost& host, QWidget* window,
                 std::function<void()> refresh);

    // The folder chooser unless replaced.
    void SetChooser(Chooser chooser) { choose_ = std::move(chooser); }
    // Called with the folder the operator changed to.
    void OnChanged(std::function<void(const std::string&)> changed) {
        changed_ = std::move(changed);
    }
    // The label; while no procedure runs.
    void Sync();
    void SetBusy(bool busy);

  private:
    void Change();

    FolderArea area_;
    MainForm& form_;
    AreaHost& host_;
    QWidget* window_;
    std::function<void()> refresh_;
    Chooser choose_;
    std::function<void(const std::string&)> changed_;
};

}  // namespace ledgerlift
