#pragma once

#include <string>

#include "cli/ColumnOptions.h"
#include "cli/Command.h"
#include "cli/CommandSession.h"
#include "company/CompanyBackups.h"
#include "company/OutputGuard.h"
#include "usecases/RunMigration.h"

namespace ledgerlift {

// "ledgerlift migrate WORKBOOK --company CODE": loads the workbook and runs
// the migration, as "Start Migration" does.
class MigrateCommand final : public Command {
  public:
    const char* Name() const override { return "migrate"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;

  private:
    std::string OutputProblem(const OutputGuard& guard) const;
    int Finish(const RunResult& result, const CommandSession& session, bool quiet,
               const OutputGuard& guard) const;

    std::string workbook_;
    std::string company_;
    std::string date_;  // yyyy-mm-dd; today when empty
    bool updateItems_ = false;
    bool negativeIsCredit_ = false;
    bool replaceOpenings_ = false;
    bool yes_ = false;
    std::string onError_;  // "ask", "stop", "continue"; by the terminal when empty
    bool dryRun_ = false;
    std::string report_;
    int keepBackups_ = kDefaultKeepBackups;
    std::string failedRows_;  // an .xlsx for the rows that need attention
    ColumnOptions columns_;
};

}  // namespace ledgerlift
