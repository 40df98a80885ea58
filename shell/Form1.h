#pragma once

#include <functional>
#include <memory>
#include <string>

#include "migration/RunTally.h"
#include "shell/WindowOps.h"
#include "shell/controls/Controls.h"
#include "shell/controls/Grid.h"

namespace ledgerlift {

class WorkbookReader;

// The one window: its controls' state and its event procedures. A view (the
// Qt window, or nothing at all) shows the controls and forwards the clicks;
// every message, dialog and event pass goes through the window operations.
class Form1 {
  public:
    using ReaderFactory = std::function<std::unique_ptr<WorkbookReader>()>;

    // programFolder is the folder under which Resources/Database lies.
    Form1(std::string programFolder, WindowOps& ops);
    ~Form1();

    // Event procedures.
    void Form_Load();
    void cmdLoad_Click();
    void cmdMigrate_Click();
    void cmdClose_Click();

    // The company connection for this window's chosen company; gives whether
    // cnCompany is open afterwards.
    bool ConnectSql();

    // Appends a line to the status box: old text, CR LF, the line.
    void AppendStatus(const std::string& line);
    // Moves the status box's caret to the end, which scrolls to the last line.
    void StatusCaretToEnd();

    WindowOps& Ops() { return ops_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    // The reader that the import opens workbooks with (the .xls reader unless
    // replaced).
    void SetReaderFactory(ReaderFactory factory) { readerFactory_ = std::move(factory); }
    std::unique_ptr<WorkbookReader> NewReader() const;

    // The window's controls, named as the window names them.
    std::string Caption = "Excel Data Migration  to Tallvane Vexa";
    Frame fraMIgrate;
    CommandButton cmdMigrate{"Start Migration"};
    ComboBox txtCompanyName;
    CheckBox chkUpdateItems{"Update Existing Items", 0};
    DatePicker dtpDate;
    Label Label1{"Select Tallvane Company:"};
    CommonDialog cdlg;
    TextBox txtStatus;
    CommandButton cmdClose{"Close"};
    CommandButton cmdLoad{"Load Excel Data"};
    TabControl SSTab1;
    Grid msf1{"the item grid"};
    Grid msf2{"the ledger grid"};
    Grid msf3{"the account group grid"};
    Label Label5{"Step II"};
    Label Label2{"Step 1"};
    Label Label4;
    Label Label3;

    // True while the grids hold a successfully imported workbook.
    bool blnExcelLoaded = false;

    // What the last migration run did, row by row.
    RunTally tally;
    // A run that writes nothing: it runs in one transaction that is rolled
    // back at its end, and leaves the company's database file untouched.
    bool dryRun = false;
    // Sees every line appended to the status box (the command line prints it).
    std::function<void(const std::string&)> onStatusLine;

  private:
    std::string programFolder_;
    WindowOps& ops_;
    ReaderFactory readerFactory_;
};

// The introduction text that the status box starts with.
extern const char* const kIntroduction;

}  // namespace ledgerlift
