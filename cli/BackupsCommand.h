#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift backups --company CODE": a company's backups, newest first.
class BackupsCommand final : public Command {
  public:
    const char* Name() const override { return "backups"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;

  private:
    std::string company_;
};

}  // namespace ledgerlift
