#pragma once

#include <memory>
#include <string>

#include "cli/CompanyRunCommand.h"

namespace ledgerlift {

// "ledgerlift check WORKBOOK --company CODE": what migrate would do, as
// "Check Data" predicts it.
class CheckCommand final : public CompanyRunCommand {
  public:
    CheckCommand();
    const char* Name() const override { return "check"; }

  private:
    void AddRunOptions(CLI::App& command) override;
    std::unique_ptr<ConsoleWindowOps> StartConsole(bool quiet) const override;
    int RunLoaded(CommandSession& session, bool quiet, const OutputGuard& guard) override;

    std::string format_ = "text";  // "text" or "json"
};

}  // namespace ledgerlift
