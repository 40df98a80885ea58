#pragma once

#include <string>

#include "cli/CompanyCommand.h"

namespace ledgerlift {

// "ledgerlift restore --company CODE [--from FILE]": puts a backup in the
// place of the company's database.
class RestoreCommand final : public CompanyCommand {
  public:
    RestoreCommand()
        : CompanyCommand(
              "Put a backup in the place of a company's database; the database as it is is "
              "backed up first") {}
    const char* Name() const override { return "restore"; }
    int Run(const CommonOptions& common) override;

  private:
    void AddOptions(CLI::App& command) override;

    std::string from_;  // the newest backup when empty
    bool yes_ = false;
};

}  // namespace ledgerlift
