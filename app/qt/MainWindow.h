#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "app/Form1.h"
#include "ui/ProgressMeter.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace ledgerlift {

class ColumnsControl;
class GridModel;
class OutcomeFilter;

// The Qt window over Form1: it shows the controls' state, writes back what the
// operator changes, and forwards the button clicks. It catches up with the
// controls in Sync(), which the window operations call before every message
// box and at most every few tens of milliseconds in an event pass.
//
// While a procedure runs, the buttons and choices that would start or change
// one show as disabled, a progress bar under the grids tells how far it is,
// and (for a run or a check) a Stop button asks the logic to end the stage
// after the row in progress.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // How often the sentence beside the progress bar (the rows, the rate,
    // the time left) is written afresh; the bar itself follows every event
    // pass.
    static constexpr int kProgressRefreshMs = 250;

    explicit MainWindow(Form1& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    void Sync();
    // Closes the window now, or once the running event procedure returns.
    void RequestUnload();
    bool Busy() const { return busy_; }

    // The figures of the procedure under way; shown on the progress timer.
    void SetProgress(const std::string& stage, int done, int total);
    void EndProgress();

    QTableView* GridView(int tab) const;
    QPushButton* LoadButton() const { return load_; }
    QPushButton* MigrateButton() const { return migrate_; }
    QPushButton* CheckButton() const { return check_; }
    QPushButton* CloseButton() const { return close_; }
    QPushButton* RestoreButton() const { return restore_; }
    QPushButton* SaveFailedRowsButton() const { return saveFailedRows_; }
    QPushButton* StopButton() const { return stop_; }
    QPushButton* SaveReportButton() const { return saveReport_; }
    QPushButton* SaveStatementButton() const { return saveStatement_; }
    // "Show only the rows that did not go in", above the grids.
    QCheckBox* OnlyNotInFilter() const { return onlyNotIn_; }
    // Beside the filter, while it is on: how many rows it shows.
    QLabel* FilterNote() const { return filterNote_; }
    QProgressBar* ProgressBar() const { return progressBar_; }
    QLabel* ProgressText() const { return progressText_; }
    // Names the product folder whose databases the window uses.
    QLabel* ProductFolderLabel() const { return productFolder_; }
    // Names the workbook the grids hold.
    QLabel* WorkbookLabel() const { return workbook_; }
    QLabel* LoadLinesLabel() const { return loadLines_; }
    // "Columns..." and "Save Template..." beside the load.
    ColumnsControl* Columns() const { return columns_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void BuildControls();
    QFrame* BuildFrame();
    QLayout* BuildLeft();
    QWidget* BuildGrids();
    QLayout* BuildRight();
    QLayout* BuildProgressRow();
    void ConnectButtons();
    void ConnectInputs();
    void Run(const std::function<void()>& procedure, bool stoppable);
    void SetBusy(bool busy, bool stoppable);
    void SyncGrid(int index);
    void SyncWorkbook();
    void SyncStop();
    void ApplyGridWidths(int index);
    void ShowProgress();
    void ShowProgressBar();
    void ShowOnlyNotIn(bool on);

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
    QPushButton* stop_ = nullptr;
    QPushButton* saveReport_ = nullptr;
    QPushButton* saveStatement_ = nullptr;
    ColumnsControl* columns_ = nullptr;
    QCheckBox* onlyNotIn_ = nullptr;
    QLabel* filterNote_ = nullptr;
    QComboBox* company_ = nullptr;
    QCheckBox* update_ = nullptr;
    QCheckBox* negativeIsCredit_ = nullptr;
    QCheckBox* replaceOpenings_ = nullptr;
    QDateEdit* date_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QLabel* productFolder_ = nullptr;
    QLabel* workbook_ = nullptr;
    QLabel* loadLines_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* labels_[5] = {};
    QTableView* views_[3] = {};
    GridModel* models_[3] = {};
    OutcomeFilter* filters_[2] = {};
    // The grid widths (twips) last given to each view's columns: a width
    // the operator dragged stays until the grid itself changes it.
    std::vector<int> shownWidths_[3];
    int shownTopRow_[3] = {0, 0, 0};
    std::string shownStatus_;

    QProgressBar* progressBar_ = nullptr;
    QLabel* progressText_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    ProgressMeter meter_;
};

}  // namespace ledgerlift
