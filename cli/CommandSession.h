#pragma once

#include <optional>
#include <string>

#include "cli/ConsoleWindowOps.h"
#include "company/CompanyLock.h"
#include "data/Connection.h"
#include "load/ColumnChoice.h"
#include "ui/FormControls.h"
#include "usecases/RunRequest.h"

namespace ledgerlift {

// What a command that loads a workbook works on, without a window: the
// controls as the window would hold them, the console's window operations,
// the run's connection and the lock it takes the company with. The
// procedures are the window's own (StartWindow, LoadWorkbook, RunMigration,
// RunCheck), called directly.
class CommandSession {
  public:
    CommandSession(std::string productFolder, ConsoleWindowOps& ops)
        : productFolder_(std::move(productFolder)), ops_(ops) {}
    ~CommandSession() { companyConnection.Close(); }
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    // As the window starts and then loads a workbook: the company list, the
    // migration date, the update mode, the company (added to the list when
    // it is not there, so that the connection names it), then the workbook.
    // The load's messages are held back and printed after it, a failure
    // labelled "error"; then, when sayWhatWasRead, what the load read of each
    // sheet, a line each. Gives whether the workbook was loaded.
    bool Load(const std::string& workbook, const Date& date, bool updateItems,
              const std::string& company, bool sayWhatWasRead);
    // The workbook alone, as "Load Excel Data" loads it (the part of Load
    // after the company and the date): needs no product folder.
    bool LoadFile(const std::string& workbook, bool sayWhatWasRead);

    // The console the session talks through.
    ConsoleWindowOps& Ops() { return ops_; }
    // The run is over: its progress line ends and the company connection
    // closes, before the files asked for are written.
    void EndRun() {
        ops_.EndProgress();
        companyConnection.Close();
    }

    RunRequest Request(const RunOptions& options) {
        return RunRequest{controls, companyConnection, lock_,  productFolder_,
                          tally,    options,           nullptr};
    }

    FormControls controls;
    // The sheets and columns chosen on the command line (none: as the load
    // finds them).
    ColumnChoice columns;
    Connection companyConnection;
    RunTally tally;

  private:
    std::string productFolder_;
    ConsoleWindowOps& ops_;
    CompanyLock lock_;
};

// The migration date of a --date option: today when it is empty; nothing,
// after an error line on standard error, when it is no YYYY-MM-DD date.
std::optional<Date> MigrationDateOption(const std::string& option);

}  // namespace ledgerlift
