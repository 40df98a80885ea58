#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "qt/ElidedLines.h"
#include "ui/ProgressMeter.h"
#include "window/MainForm.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTimer;

namespace ledgerlift {

class ColumnsControl;
class GridModel;
class OutcomeFilter;
class ProblemsPanel;
struct ProblemPlace;

// The Qt window over MainForm: it shows the controls' state, writes back what the
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

    explicit MainWindow(MainForm& form, QWidget* parent = nullptr);
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
    QPushButton* SaveOpeningStatementButton() const { return saveOpeningStatement_; }
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
    // "Change...", beside the product folder: another folder, chosen as at
    // the first start.
    QPushButton* ChangeFolderButton() const { return changeFolder_; }
    // The list of the last check's or run's problems, under the grids.
    ProblemsPanel* Problems() const { return problems_; }
    QSplitter* GridSplitter() const { return splitter_; }

    // Asks for another product folder ("" when the operator cancels); the
    // folder chooser unless replaced.
    using FolderChooser = std::function<std::string(QWidget*)>;
    void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    // Called with the folder the operator changed to.
    void OnProductFolderChanged(std::function<void(const std::string&)> changed) {
        folderChanged_ = std::move(changed);
    }
    // Shows the problem's cell: its tab, the row scrolled into view and the
    // cell selected (the filter is turned off when it hides the row).
    void GoToProblem(const ProblemPlace& place);

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
    // What a procedure leaves for the window to show once it has ended.
    enum class After { Nothing, Problems, Load };
    void Run(const std::function<void()>& procedure, bool stoppable, After after = After::Nothing);
    void ShowProblems();
    void FitColumns(int index);
    void ChangeProductFolder();
    QLayout* BuildFolderRow();
    void SetBusy(bool busy, bool stoppable);
    void SyncGrid(int index);
    void SyncWorkbook();
    void SyncStop();
    void ApplyGridWidths(int index);
    void KeepDraggedWidth(int index, int col, int width);
    void ShowProgress();
    void ShowProgressBar();
    void ShowOnlyNotIn(bool on);

    MainForm& form_;
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
    QPushButton* saveOpeningStatement_ = nullptr;
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
    ElidedLines* loadLines_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* labels_[5] = {};
    QTableView* views_[3] = {};
    GridModel* models_[3] = {};
    OutcomeFilter* filters_[2] = {};
    // The grid widths (twips) last given to each view's columns: a width
    // the operator dragged stays until the grid itself changes it.
    std::vector<int> shownWidths_[3];
    // The widths the operator gave columns, by the column's heading: a new
    // workbook's columns take them again.
    std::map<std::string, int> draggedWidths_[3];
    bool applyingWidths_ = false;
    QPushButton* changeFolder_ = nullptr;
    ProblemsPanel* problems_ = nullptr;
    QSplitter* splitter_ = nullptr;
    FolderChooser chooseFolder_;
    std::function<void(const std::string&)> folderChanged_;
    int shownTopRow_[3] = {0, 0, 0};
    std::string shownStatus_;

    QProgressBar* progressBar_ = nullptr;
    QLabel* progressText_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    ProgressMeter meter_;
};

}  // namespace ledgerlift
