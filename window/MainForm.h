#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "company/CompanyLock.h"
#include "data/Connection.h"
#include "export/FailedRowsWorkbook.h"
#include "import/core/WorkbookReader.h"
#include "load/LoadWorkbook.h"
#include "load/WorkbookColumns.h"
#include "reports/CheckResult.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"
#include "usecases/RunMigration.h"
#include "usecases/RunRequest.h"
#include "window/ColumnChoices.h"

namespace ledgerlift {

// The one window: its controls' state (under the names the window gives
// them) and its event procedures, each of which hands the work to a
// procedure of its own (RunMigration, RunCheck, RestoreChosenBackup,
// SaveReport, SaveFailedRows, SaveOpeningStatement, LoadWorkbook) and keeps what it gives back. A
// view (the Qt window) shows the controls and forwards the clicks; every
// message, dialog and event pass goes through the window operations.
class MainForm : public FormControls {
  public:
    using ReaderFactory = std::function<std::unique_ptr<WorkbookReader>()>;

    // productFolder is the folder under which Resources/Database lies.
    MainForm(std::string productFolder, WindowOps& ops);
    ~MainForm();

    // Event procedures.
    void OnStart();
    void OnLoad();
    void OnMigrate();
    void OnCheck();
    void OnClose();
    void OnRestore();
    void OnSaveFailedRows();
    // "Save Report...": the last run's report, where the operator says.
    void OnSaveReport();
    // "Save Statement...": the chosen company's opening statement, where the
    // operator says.
    void OnSaveOpeningStatement();
    // Another company is chosen: "Save Statement..." follows whether it has
    // been migrated.
    void OnCompanyChosen();
    // "Save Template...": a workbook to fill in, with the chosen company's
    // categories and account groups in its lists, where the operator says.
    void OnSaveTemplate();

    // The sheets and columns of the workbook last loaded (or refused for its
    // columns), for the operator to choose from; as the last load read them.
    // Throws WorkbookError when it can't be read.
    WorkbookColumns WorkbookColumnsToChoose();
    // Loads the same workbook again by the choice, and remembers the choice
    // for workbooks laid out alike when it loads.
    void LoadWithColumns(const ColumnChoice& choice);
    // Forgets the choice remembered for the last workbook's layout.
    void ForgetColumns();
    // Where chosen columns are remembered (none: nowhere).
    void SetColumnMemory(ColumnMemory* memory) { columnChoices_.SetMemory(memory); }
    const ColumnChoices& Columns() const { return columnChoices_; }
    // Whether the last load was refused for its columns: a required field
    // without a column, or one field in two columns.
    bool ColumnsWanted() const { return columnsWanted_; }

    // The event procedure under way, if any.
    enum class Procedure { None, Load, Migration, Check };
    Procedure Running() const { return running_; }
    // Whether the procedure under way ends early on a stop request (a run
    // or a check; a load does not).
    bool CanStop() const {
        return running_ == Procedure::Migration || running_ == Procedure::Check;
    }
    // "Stop" during a run or a check: the stage in progress ends after its
    // row in progress (see StopRequest).
    void OnStop();
    // Closing the window while a procedure runs: asks whether to stop after
    // the row in progress and then close. Gives true when the operator says
    // so; the stop is then requested, and the window closes once the
    // procedure has ended.
    bool AskStopAndClose();

    // Another product folder: its companies fill the list afresh (the
    // last one selected), and what the last check or run found about the
    // other folder's company is forgotten. The grids keep the workbook.
    void UseProductFolder(std::string folder);

    WindowOps& Ops() { return ops_; }
    const std::string& ProductFolder() const { return productFolder_; }
    // The reader that the import opens workbooks with (unless replaced, the
    // one that reads .xls, .xlsx and .ods workbooks, chosen by their content).
    void SetReaderFactory(ReaderFactory factory) { readerFactory_ = std::move(factory); }

    // The window's connection to the chosen company's database: each run
    // and check connects it anew, and it stays open until the next one.
    Connection companyConnection;
    // How the next run goes: dry run, backups kept, batch span.
    RunOptions options;
    // What the last migration run did, row by row (during a run: so far).
    RunTally tally;
    // What the last check found.
    CheckResult lastCheck;
    // Every problem of the last check or run, row by row, as the command
    // line's check lists them; none after a load.
    std::vector<Problem> problems;
    // The rows of the last run or check that failed or have problems, for
    // "Save Failed Rows...".
    std::vector<RowToFix> rowsToFix;

  private:
    // Marks the procedure under way for as long as it runs.
    class ProcedureMark;

    RunRequest Request();
    // After a load by chosen columns: whether the operator is to choose
    // them, which workbook they are for, and the line that says how the
    // columns were read.
    void AfterColumnsLoad(LoadOutcome outcome, const char* line);
    // Keeps the rows to offer, and enables "Save Failed Rows..." when there
    // are any.
    void OfferFailedRows(std::vector<RowToFix> rows);

    std::string productFolder_;
    WindowOps& ops_;
    Procedure running_ = Procedure::None;
    // Whether the run whose rows the tally holds was a dry run.
    bool lastRunDry_ = false;
    CompanyLock runLock_;
    ReaderFactory readerFactory_;
    ColumnChoices columnChoices_;
    bool columnsWanted_ = false;
    std::string columnsWorkbook_;  // the workbook the choices are for
};

}  // namespace ledgerlift
