#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/CheckResult.h"
#include "company/CompanyBackups.h"
#include "company/CompanyLock.h"
#include "import/core/WorkbookReader.h"
#include "migration/FailedRowsWorkbook.h"
#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The one window: its controls' state (under the names the window gives
// them) and its event procedures. A view (the Qt window, or nothing at all)
// shows the controls and forwards the clicks; every message, dialog and event
// pass goes through the window operations.
class Form1 : public FormControls {
  public:
    using ReaderFactory = std::function<std::unique_ptr<WorkbookReader>()>;

    // programFolder is the folder under which Resources/Database lies.
    Form1(std::string programFolder, WindowOps& ops);
    ~Form1();

    // Event procedures.
    void Form_Load();
    void cmdLoad_Click();
    void cmdMigrate_Click();
    void cmdCheck_Click();
    void cmdClose_Click();
    void cmdRestore_Click();
    void cmdSaveFailedRows_Click();
    // "Save Report...": the last run's report, where the operator says.
    void cmdSaveReport_Click();

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
    void cmdStop_Click();
    // Closing the window while a procedure runs: asks whether to stop after
    // the row in progress and then close. Gives true when the operator says
    // so; the stop is then requested, and the window closes once the
    // procedure has ended.
    bool AskStopAndClose();

    // The company connection for this window's chosen company, taken for a
    // run (see CompanyLock); gives whether cnCompany is open afterwards.
    bool ConnectSql();
    // The same for a check: the company's file is not touched (its journal
    // stays as it is).
    bool ConnectForCheck();
    // Lets other runs into the company again (at the end of a run).
    void ReleaseCompany() { runLock_.Release(); }
    // Whether a workbook is loaded; when none is, says so (critical icon), as
    // "Start Migration" and "Check Data" both refuse to go on without one.
    bool RequireLoaded();

    // Keeps the rows that the last run or check found failing or with
    // problems, and enables "Save Failed Rows..." when there are any.
    void OfferFailedRows(std::vector<RowToFix> rows);

    // Appends a line to the status box: old text, CR LF, the line.
    void AppendStatus(const std::string& line);
    // Moves the status box's caret to the end, which scrolls to the last line.
    void StatusCaretToEnd();

    WindowOps& Ops() { return ops_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    // The reader that the import opens workbooks with (unless replaced, the
    // one that reads .xls, .xlsx and .ods workbooks, chosen by their content).
    void SetReaderFactory(ReaderFactory factory) { readerFactory_ = std::move(factory); }
    std::unique_ptr<WorkbookReader> NewReader() const;

    // What the last migration run did, row by row.
    RunTally tally;
    // What the last check found.
    CheckResult lastCheck;
    // The rows of the last run or check that failed or have problems, for
    // "Save Failed Rows...".
    std::vector<RowToFix> rowsToFix;
    // A run that writes nothing: it runs in one transaction that is rolled
    // back at its end, and leaves the company's database file untouched.
    bool dryRun = false;
    // How many backups of a company a run keeps (the newest).
    int keepBackups = kDefaultKeepBackups;
    // Sees every line appended to the status box (the command line prints it).
    std::function<void(const std::string&)> onStatusLine;

  private:
    // Marks the procedure under way for as long as it runs.
    class ProcedureMark;

    std::string programFolder_;
    WindowOps& ops_;
    Procedure running_ = Procedure::None;
    CompanyLock runLock_;
    ReaderFactory readerFactory_;
};

// Lets other runs into the company when the procedure that took it ends,
// however it ends.
class CompanyRelease {
  public:
    explicit CompanyRelease(Form1& form) : form_(form) {}
    ~CompanyRelease() { form_.ReleaseCompany(); }
    CompanyRelease(const CompanyRelease&) = delete;
    CompanyRelease& operator=(const CompanyRelease&) = delete;

  private:
    Form1& form_;
};

}  // namespace ledgerlift
