#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "qt/AreaHost.h"
#include "qt/ElidedLines.h"
#include "qt/FolderArea.h"
#include "qt/GridsArea.h"
#include "qt/LoadArea.h"
#include "qt/ProblemsArea.h"
#include "qt/ProgressArea.h"
#include "qt/RunControls.h"
#include "window/MainForm.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableView;

namespace ledgerlift {

class ColumnsControl;
class ProblemsPanel;
struct ProblemPlace;

// The Qt window over MainForm: it shows the controls' state, writes back what the
// operator changes, and forwards the button clicks. It catches up with the
// controls in Sync(), which the window operations call before every message
// box and at most every few tens of milliseconds in an event pass.
//
// The window is made of areas (the load, the run controls, the product
// folder, the grids, the problems, the progress), each built by its builder
// and tied to the form by its binder; the window lays them out, runs the
// procedures one at a time and brings every area up to date.
//
// While a procedure runs, the buttons and choices that would start or change
// one show as disabled, a progress bar under the grids tells how far it is,
// and (for a run or a check) a Stop button asks the logic to end the stage
// after the row in progress.
class MainWindow : public QWidget, private AreaHost {
    Q_OBJECT
  public:
    // How often the sentence beside the progress bar (the rows, the rate,
    // the time left) is written afresh; the bar itself follows every event
    // pass.
    static constexpr int kProgressRefreshMs = ProgressBinder::kRefreshMs;

    explicit MainWindow(MainForm& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    void Sync();
    // Closes the window now, or once the running event procedure returns.
    void RequestUnload();
    bool Busy() const override { return busy_; }

    // The figures of the procedure under way; shown on the progress timer.
    void SetProgress(const std::string& stage, int done, int total);
    void EndProgress();

    QTableView* GridView(int tab) const { return grids_.views[static_cast<std::size_t>(tab)]; }
    QPushButton* LoadButton() const { return load_.load; }
    QPushButton* MigrateButton() const { return run_.migrate; }
    QPushButton* CheckButton() const { return run_.check; }
    QPushButton* CloseButton() const { return run_.close; }
    QPushButton* RestoreButton() const { return run_.restore; }
    QPushButton* SaveFailedRowsButton() const { return run_.saveFailedRows; }
    QPushButton* StopButton() const { return progress_.stop; }
    QPushButton* SaveReportButton() const { return run_.saveReport; }
    QPushButton* SaveOpeningStatementButton() const { return run_.saveOpeningStatement; }
    // "Show only the rows that did not go in", above the grids.
    QCheckBox* OnlyNotInFilter() const { return grids_.onlyNotIn; }
    // Beside the filter, while it is on: how many rows it shows.
    QLabel* FilterNote() const { return grids_.filterNote; }
    QProgressBar* ProgressBar() const { return progress_.bar; }
    QLabel* ProgressText() const { return progress_.text; }
    // Names the product folder whose databases the window uses.
    QLabel* ProductFolderLabel() const { return folder_.folder; }
    // Names the workbook the grids hold.
    QLabel* WorkbookLabel() const { return load_.workbook; }
    QLabel* LoadLinesLabel() const { return load_.lines; }
    // "Columns..." and "Save Template..." beside the load.
    ColumnsControl* Columns() const { return load_.columns; }
    // "Change...", beside the product folder: another folder, chosen as at
    // the first start.
    QPushButton* ChangeFolderButton() const { return folder_.change; }
    // The list of the last check's or run's problems, under the grids.
    ProblemsPanel* Problems() const { return problems_.panel; }
    QSplitter* GridSplitter() const { return problems_.splitter; }

    // Asks for another product folder ("" when the operator cancels); the
    // folder chooser unless replaced.
    using FolderChooser = FolderBinder::Chooser;
    void SetFolderChooser(FolderChooser chooser) { folderBinder_->SetChooser(std::move(chooser)); }
    // Called with the folder the operator changed to.
    void OnProductFolderChanged(std::function<void(const std::string&)> changed) {
        folderBinder_->OnChanged(std::move(changed));
    }
    // Shows the problem's cell: its tab, the row scrolled into view and the
    // cell selected (the filter is turned off when it hides the row).
    void GoToProblem(const ProblemPlace& place);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    QLayout* BuildLeft();
    QLayout* BuildRight();
    void Bind();
    bool Syncing() const override { return syncing_; }
    bool UnloadRequested() const override { return unloadRequested_; }
    void Run(const std::function<void()>& procedure, bool stoppable, After after) override;
    void SetBusy(bool busy, bool stoppable);
    void SyncIdle();
    void ShowProblems();

    MainForm& form_;
    bool busy_ = false;
    bool unloadRequested_ = false;
    bool syncing_ = false;

    LoadArea load_;
    RunControls run_;
    FolderArea folder_;
    GridsArea grids_;
    ProblemsArea problems_;
    ProgressArea progress_;

    // Owned by the window (as Qt children).
    LoadBinder* loadBinder_ = nullptr;
    RunControlsBinder* runBinder_ = nullptr;
    FolderBinder* folderBinder_ = nullptr;
    GridsBinder* gridsBinder_ = nullptr;
    ProblemsBinder* problemsBinder_ = nullptr;
    ProgressBinder* progressBinder_ = nullptr;
};

}  // namespace ledgerlift
