#pragma once

#include <string>

#include "cli/CompanyCommand.h"

namespace ledgerlift {

// "ledgerlift backups --company CODE": a company's backups, newest first.
class BackupsCommand final : public CompanyCommand {
  public:
    BackupsCommand()
        : CompanyCommand(
              "List a company's backups, newest first: time, size and what made each; then the "
              "migration runs recorded beside them: time, outcome, workbook, rows and the backup "
              "that undoes each") {}
    const char* Name() const override { return "backups"; }
    int Run(const CommonOptions& common) override;

  private:
    void AddOptions(CLI::App& command) override;
};

}  // namespace ledgerlift
