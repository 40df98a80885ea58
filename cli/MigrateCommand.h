#pragma once

#include <memory>
#include <string>

#include "cli/CompanyRunCommand.h"
#include "company/CompanyBackups.h"
#include "usecases/RunMigration.h"

namespace ledgerlift {

// "ledgerlift migrate WORKBOOK --company CODE": loads the workbook and runs
// the migration, as "Start Migration" does.
class MigrateCommand final : public CompanyRunCommand {
  public:
    MigrateCommand();
    const char* Name() const override { return "migrate"; }

  private:
    void AddRunOptions(CLI::App& command) override;
    std::string OutputProblem(const OutputGuard& guard) const override;
    std::unique_ptr<ConsoleWindowOps> StartConsole(bool quiet) const override;
    int RunLoaded(CommandSession& session, bool quiet, const OutputGuard& guard) override;
    int Finish(const RunResult& result, const CommandSession& session, bool quiet,
               const OutputGuard& guard) const;

    bool yes_ = false;
    std::string onError_;  // "ask", "stop", "continue"; by the terminal when empty
    bool dryRun_ = false;
    std::string report_;
    int keepBackups_ = kDefaultKeepBackups;
};

}  // namespace ledgerlift
