#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift demo FOLDER": lays out a demo product folder.
class DemoCommand final : public Command {
  public:
    const char* Name() const override { return "demo"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    bool NeedsProductFolder() const override { return false; }
    int Run(const CommonOptions& common) override;

  private:
    std::string folder_;
};

}  // namespace ledgerlift
