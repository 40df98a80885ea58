#pragma once

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift companies": the company codes, one a line.
class CompaniesCommand final : public Command {
  public:
    const char* Name() const override { return "companies"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;
};

}  // namespace ledgerlift
