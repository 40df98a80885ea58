#include "window/MainForm.h"

#include "import/OpenWorkbook.h"
#include "load/LoadWorkbook.h"
#include "usecases/CompanyList.h"
#include "usecases/RestoreChosenBackup.h"
#include "usecases/RunCheck.h"
#include "usecases/SaveFailedRows.h"
#include "usecases/SaveOpeningStatement.h"
#include "usecases/SaveReport.h"
#include "usecases/SaveTemplate.h"
#include "usecases/StartWindow.h"

namespace ledgerlift {
namespace {

const char* const kRememberedColumnsLine =
    "The sheets and columns chosen before for workbooks with these sheets and headings were "
    "used again; Columns... changes or forgets them.";
const char* const kChosenColumnsLine =
    "The sheets and columns were read as chosen, and will be used again for workbooks with these "
    "sheets and headings; Columns... changes or forgets them.";
const char* const kChosenNotKeptLine =
    "The sheets and columns were read as chosen, but could not be kept for the next workbook "
    "laid out alike: ";

}  // namespace

class MainForm::ProcedureMark {
  public:
    ProcedureMark(MainForm& form, Procedure procedure) : form_(form), before_(form.running_) {
        form_.running_ = procedure;
    }
    // A stop asked for belongs to this procedure alone.
    ~ProcedureMark() {
        form_.running_ = before_;
        form_.stop.requested = false;
    }
    ProcedureMark(const ProcedureMark&) = delete;
    ProcedureMark& operator=(const ProcedureMark&) = delete;

  private:
    MainForm& form_;
    Procedure before_;
};

MainForm::MainForm(std::string productFolder, WindowOps& ops)
    : productFolder_(std::move(productFolder)), ops_(ops) {}

MainForm::~MainForm() = default;

RunRequest MainForm::Request() {
    return RunRequest{*this, companyConnection, runLock_,  productFolder_,
                      tally, options,           &lastCheck};
}

void MainForm::OnStart() {
    StartWindow(*this, productFolder_, ops_);
    OfferOpeningStatement(productFolder_, *this);
}

void MainForm::UseProductFolder(std::string folder) {
    companyConnection.Close();
    productFolder_ = std::move(folder);
    lastCheck = {};
    problems.clear();
    OfferFailedRows({});
    FillCompanyList(*this, productFolder_, ops_);
    OfferOpeningStatement(productFolder_, *this);
}

void MainForm::OnLoad() {
    ProcedureMark mark(*this, Procedure::Load);
    // The last run's rows no longer match the grids, nor does the last
    // check's prediction.
    OfferFailedRows({});
    lastCheck = {};
    problems.clear();
    std::unique_ptr<WorkbookReader> book =
        readerFactory_ ? readerFactory_() : std::make_unique<AnyWorkbookReader>();
    LoadOutcome outcome = LoadWorkbook(*this, ops_, *book, [this](const WorkbookReader& open) {
        return columnChoices_.ForLoad(open);
    });
    AfterColumnsLoad(outcome, columnChoices_.UsedRemembered() ? kRememberedColumnsLine : "");
    ops_.EndProgress();
}

void MainForm::AfterColumnsLoad(LoadOutcome outcome, const char* line) {
    columnsWanted_ = outcome == LoadOutcome::ColumnsWanted;
    columnsWorkbook_ = outcome == LoadOutcome::Failed ? "" : fileDialog.FileName;
    if (!columnChoices_.Problem().empty()) {
        std::string said =
            "The columns remembered for this workbook's sheets and headings could not be used, "
            "and were forgotten: ";
        said += columnChoices_.Problem();
        loadLines.insert(loadLines.begin(), said);
    }
    if (outcome == LoadOutcome::Loaded && *line) {
        loadLines.insert(loadLines.begin(), line);
    }
}

WorkbookColumns MainForm::WorkbookColumnsToChoose() {
    std::unique_ptr<WorkbookReader> book =
        readerFactory_ ? readerFactory_() : std::make_unique<AnyWorkbookReader>();
    book->Open(columnsWorkbook_);
    WorkbookPlan plan;
    try {
        plan = FindChosenSheets(*book, columnsWorkbook_, columnChoices_.Current());
    } catch (const WorkbookError&) {
        // The chosen sheets are not all there, or one sheet alone says
        // nothing of itself: every sheet is offered, none taken yet.
    }
    WorkbookColumns columns = DescribeColumns(*book, plan);
    book->Close();
    return columns;
}

void MainForm::LoadWithColumns(const ColumnChoice& choice) {
    ProcedureMark mark(*this, Procedure::Load);
    OfferFailedRows({});
    lastCheck = {};
    std::unique_ptr<WorkbookReader> book =
        readerFactory_ ? readerFactory_() : std::make_unique<AnyWorkbookReader>();
    const std::string path = columnsWorkbook_;
    LoadOutcome outcome =
        LoadWorkbookFile(*this, ops_, *book, path, [&](const WorkbookReader&) { return choice; });
    std::string notKept;
    if (outcome == LoadOutcome::Loaded) {
        notKept = columnChoices_.Remember(choice);
    }
    // Said to be used again only when the settings really keep it.
    if (!notKept.empty()) {
        notKept = kChosenNotKeptLine + notKept;
    }
    AfterColumnsLoad(outcome, notKept.empty() ? kChosenColumnsLine : notKept.c_str());
    columnsWorkbook_ = path;  // the operator may choose again, whatever came of it
    ops_.EndProgress();
}

void MainForm::OnSaveTemplate() {
    SaveTemplate(productFolder_, *this, ops_);
}

void MainForm::ForgetColumns() {
    columnChoices_.Forget();
}

void MainForm::OnMigrate() {
    ProcedureMark mark(*this, Procedure::Migration);
    RunResult result = RunMigration(Request(), ops_);
    if (result.underWay) {
        lastRunDry_ = options.dryRun;  // the tally now holds this run's rows
        OfferFailedRows(std::move(result.rowsToFix));
        problems = ProblemsOf(tally);
    }
    OfferOpeningStatement(productFolder_, *this);
}

void MainForm::OnCheck() {
    ProcedureMark mark(*this, Procedure::Check);
    if (std::optional<CheckResult> result = RunCheck(Request(), ops_)) {
        lastCheck = std::move(*result);
        OfferFailedRows(lastCheck.rowsToFix);
        problems = lastCheck.problems;
    }
}

void MainForm::OnClose() {
    ops_.Unload();
}

void MainForm::OnRestore() {
    RestoreChosenBackup({*this, companyConnection, productFolder_, options.keepBackups}, ops_);
    OfferOpeningStatement(productFolder_, *this);
}

void MainForm::OnSaveFailedRows() {
    SaveFailedRows(saveFailedRowsButton.Enabled ? rowsToFix : std::vector<RowToFix>{},
                   productFolder_, *this, ops_);
}

void MainForm::OnSaveReport() {
    SaveReport(tally, lastRunDry_, productFolder_, *this, ops_);
}

void MainForm::OnSaveOpeningStatement() {
    SaveOpeningStatement(productFolder_, *this, ops_);
}

void MainForm::OnCompanyChosen() {
    OfferOpeningStatement(productFolder_, *this);
}

void MainForm::OfferFailedRows(std::vector<RowToFix> rows) {
    rowsToFix = std::move(rows);
    saveFailedRowsButton.Enabled = !rowsToFix.empty();
}

void MainForm::OnStop() {
    if (CanStop()) {
        stop.requested = true;
    }
}

bool MainForm::AskStopAndClose() {
    std::string question;
    switch (running_) {
        case Procedure::Migration:
            question =
                "The migration is still running. Stop it after the row in progress and close "
                "the window?\r\n\r\nWhat went in so far stays in the company; the rows after "
                "it are not migrated.";
            break;
        case Procedure::Check:
            question =
                "The check is still running. Stop it after the row in progress and close the "
                "window?\r\n\r\nA check writes nothing.";
            break;
        case Procedure::Load:
            question = "The workbook is still being loaded. Close the window once it is loaded?";
            break;
        case Procedure::None:
            return true;
    }
    if (ops_.MsgBox(question, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
        return false;
    }
    stop.requested = CanStop();
    stop.closing = true;
    return true;
}

}  // namespace ledgerlift
