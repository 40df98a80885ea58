#include "app/Form1.h"

#include "app/ConnectSql.h"
#include "app/MigrationRun.h"
#include "app/RestoreBackup.h"
#include "app/RunCheck.h"
#include "app/SaveFailedRows.h"
#include "app/SaveReport.h"
#include "base/TextRules.h"
#include "data/Recordset.h"
#include "import/OpenWorkbook.h"
#include "load/LoadWorkbook.h"
#include "migration/FailedRowsWorkbook.h"

namespace ledgerlift {

class Form1::ProcedureMark {
  public:
    ProcedureMark(Form1& form, Procedure procedure) : form_(form), before_(form.running_) {
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
    Form1& form_;
    Procedure before_;
};

Form1::Form1(std::string programFolder, WindowOps& ops)
    : programFolder_(std::move(programFolder)), ops_(ops) {}

Form1::~Form1() = default;

std::unique_ptr<WorkbookReader> Form1::NewReader() const {
    return readerFactory_ ? readerFactory_() : std::make_unique<AnyWorkbookReader>();
}

void Form1::Form_Load() {
    try {
        dtpDate.Value = Date::Today();
        msf1.SetRows(1);
        msf1.SetColWidth(0, 2000);
        msf1.SetColWidth(1, 2000);
        msf1.SetColWidth(2, 2000);
        msf1.SetColWidth(3, 1750);
        msf2.SetRows(1);
        for (int c = 0; c <= 6; ++c) {
            msf2.SetColWidth(c, 2250);
        }
        msf3.SetRows(1);
        for (int c = 0; c <= 2; ++c) {
            msf3.SetColWidth(c, 2250);
        }
        SSTab1.Tab = 0;
        Connection initial;
        initial.Open(InitialConnectionString(programFolder_));
        Recordset rs;
        rs.Open("select companyCode from tblcompany", initial, CursorType::ForwardOnly);
        while (!rs.IsEOF()) {
            txtCompanyName.AddItem(ValueToText(rs.Field("companycode")));
            txtCompanyName.SetListIndex(txtCompanyName.NewIndex());
            rs.MoveNext();
        }
    } catch (const std::exception& error) {
        ops_.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

void Form1::cmdLoad_Click() {
    ProcedureMark mark(*this, Procedure::Load);
    // The last run's rows no longer match the grids.
    OfferFailedRows({});
    std::unique_ptr<WorkbookReader> book = NewReader();
    LoadWorkbook(*this, ops_, *book);
    ops_.EndProgress();
}

void Form1::cmdMigrate_Click() {
    ProcedureMark mark(*this, Procedure::Migration);
    RunMigration(*this);
}

void Form1::cmdClose_Click() {
    ops_.Unload();
}

void Form1::cmdRestore_Click() {
    RestoreBackup(*this);
}

void Form1::cmdSaveFailedRows_Click() {
    SaveFailedRows(*this);
}

void Form1::OfferFailedRows(std::vector<RowToFix> rows) {
    rowsToFix = std::move(rows);
    cmdSaveFailedRows.Enabled = !rowsToFix.empty();
}

bool Form1::RequireLoaded() {
    if (!blnExcelLoaded) {
        ops_.MsgBox("Excel data not loaded. Please load Excel data to proceed", MsgButtons::OK,
                    MsgIcon::Critical);
    }
    return blnExcelLoaded;
}

bool Form1::ConnectForCheck() {
    return ledgerlift::ConnectSql(programFolder_, txtCompanyName.Text(), ops_, false, &runLock_,
                                  CompanyUse::Check);
}

void Form1::cmdCheck_Click() {
    ProcedureMark mark(*this, Procedure::Check);
    RunCheck(*this);
}

void Form1::cmdSaveReport_Click() {
    SaveReport(*this);
}

void Form1::cmdStop_Click() {
    if (CanStop()) {
        stop.requested = true;
    }
}

bool Form1::AskStopAndClose() {
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

bool Form1::ConnectSql() {
    return ledgerlift::ConnectSql(programFolder_, txtCompanyName.Text(), ops_, !dryRun, &runLock_);
}

void Form1::AppendStatus(const std::string& line) {
    txtStatus.Text = txtStatus.Text + "\r\n" + line;
    if (onStatusLine) {
        onStatusLine(line);
    }
}

void Form1::StatusCaretToEnd() {
    txtStatus.SelStart = static_cast<int>(txtStatus.Text.size());
}

}  // namespace ledgerlift
