#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift restore --company CODE [--from FILE]": puts a backup in the
// place of the company's database.
class RestoreCommand final : public Command {
  public:
    const char* Name() const override { return "restore"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;

  private:
    std::string company_;
    std::string from_;  // the newest backup when empty
    bool yes_ = false;
};

}  // namespace ledgerlift
