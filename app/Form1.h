#pragma once

#include <functional>
#include <memory>
#include <string>

#include "import/WorkbookReader.h"
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
    // The reader that the import opens workbooks with (unless replaced, the
    // one that reads .xls, .xlsx and .ods workbooks, chosen by their content).
    void SetReaderFactory(ReaderFactory factory) { readerFactory_ = std::move(factory); }
    std::unique_ptr<WorkbookReader> NewReader() const;

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

}  // namespace ledgerlift
