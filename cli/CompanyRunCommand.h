#pragma once

#include <memory>
#include <string>

#include "cli/CommandSession.h"
#include "cli/ConsoleWindowOps.h"
#include "cli/WorkbookCommand.h"
#include "company/OutputGuard.h"

namespace ledgerlift {

// check and migrate: a workbook run against a company, as "Check Data" and
// "Start Migration" run it. The options the two share (the company, the
// migration date, how openings and existing items are taken, the
// failed-rows workbook and the product folder) are registered here, and the
// session is set up here: the outputs checked before anything is read, the
// date, the columns chosen, the workbook loaded for the company and the
// boxes ticked. Each command adds its own options and runs on the loaded
// session.
class CompanyRunCommand : public WorkbookCommand {
  public:
    int Run(const CommonOptions& common) final;

  protected:
    // The help texts that are the command's own.
    struct Help {
        const char* command;
        const char* workbook;
        const char* updateItems;
        const char* replaceOpenings;
    };
    explicit CompanyRunCommand(const Help& help)
        : WorkbookCommand(help.command, help.workbook), help_(help) {}

    // Adds the command's own options, after the shared ones, and its footer.
    virtual void AddRunOptions(CLI::App& command) = 0;
    // Why an output asked for could not be written at the end ("" when each
    // one can); checked before anything is read or written. By default, the
    // failed-rows workbook's problem.
    virtual std::string OutputProblem(const OutputGuard& guard) const;
    // The console the run talks through, set as the command wants it (and
    // the command's opening line said); nothing, after an error line on
    // standard error, when the command can't run so (a usage error).
    virtual std::unique_ptr<ConsoleWindowOps> StartConsole(bool quiet) const = 0;
    // Runs on the session once its workbook is loaded; gives the exit status.
    virtual int RunLoaded(CommandSession& session, bool quiet, const OutputGuard& guard) = 0;

    // The failed-rows workbook asked for ("" for none).
    const std::string& FailedRows() const { return failedRows_; }

  private:
    void AddOptions(CLI::App& command, CommonOptions& common) final;

    Help help_;
    std::string company_;
    std::string date_;  // yyyy-mm-dd; today when empty
    bool updateItems_ = false;
    bool negativeIsCredit_ = false;
    bool replaceOpenings_ = false;
    std::string failedRows_;  // an .xlsx for the rows that need attention
};

}  // namespace ledgerlift
