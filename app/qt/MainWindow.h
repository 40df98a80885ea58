#pragma once

#include <QWidget>
#include <functional>

#include "app/Form1.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace ledgerlift {

class GridModel;

// The Qt window over Form1: it shows the controls' state, writes back what the
// operator changes, and forwards the button clicks. It catches up with the
// controls in Sync(), which the window operations call before every message
// box and at most every few tens of milliseconds in an event pass.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(Form1& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    void Sync();
    // Closes the window now, or once the running event procedure returns.
    void RequestUnload();
    bool Busy() const { return busy_; }

    QTableView* GridView(int tab) const;
    QPushButton* LoadButton() const { return load_; }
    QPushButton* MigrateButton() const { return migrate_; }
    QPushButton* CheckButton() const { return check_; }
    QPushButton* CloseButton() const { return close_; }
    QPushButton* RestoreButton() const { return restore_; }
    QPushButton* SaveFailedRowsButton() const { return saveFailedRows_; }
    // Names the product folder whose databases the window uses.
    QLabel* ProductFolderLabel() const { return productFolder_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void Run(const std::function<void()>& procedure);
    void SyncGrid(int index);

    Form1& form_;
    bool busy_ = false;
    bool unloadRequested_ = false;
    bool syncing_ = false;

    QFrame* frame_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* migrate_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* saveFailedRows_ = nullptr;
    QComboBox* company_ = nullptr;
    QCheckBox* update_ = nullptr;
    QDateEdit* date_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QLabel* productFolder_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* labels_[5] = {};
    QTableView* views_[3] = {};
    GridModel* models_[3] = {};
    int shownTopRow_[3] = {0, 0, 0};
    std::string shownStatus_;
};

}  // namespace ledgerlift
