#pragma once

#include <optional>
#include <string>

#include "cli/ColumnOptions.h"
#include "cli/Command.h"

namespace ledgerlift {

// A command that reads a workbook as the load reads it: preview, columns,
// check and migrate. The workbook argument, the sheets and columns chosen on
// the command line and --quiet are registered here, once, in the order the
// help lists them; each command adds its own options (and its footer) between
// the workbook and the column options.
class WorkbookCommand : public Command {
  public:
    void Register(CLI::App& app, CommonOptions& common) final;

  protected:
    // The command's one-line help and its workbook argument's.
    explicit WorkbookCommand(const char* help, const char* workbookHelp = kWorkbookHelp)
        : help_(help), workbookHelp_(workbookHelp) {}

    // Adds the command's own options and its footer.
    virtual void AddOptions(CLI::App& command, CommonOptions& common) = 0;

    const std::string& Workbook() const { return workbook_; }
    // The sheets and columns chosen on the command line (empty without
    // them); nothing, after an error line on standard error, when the columns
    // file can't be used.
    std::optional<ColumnChoice> ChosenColumns() const { return columns_.Choice(); }

  private:
    const char* help_;
    const char* workbookHelp_;
    std::string workbook_;
    ColumnOptions columns_;
};

}  // namespace ledgerlift
