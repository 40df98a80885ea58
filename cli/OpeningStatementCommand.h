#pragma once

#include <string>

#include "cli/CompanyCommand.h"

namespace ledgerlift {

// "ledgerlift statement --company CODE --output FILE.pdf|FILE.html": the
// company's opening statement as migrated, read back from its database.
class OpeningStatementCommand final : public CompanyCommand {
  public:
    OpeningStatementCommand();
    const char* Name() const override { return "statement"; }
    int Run(const CommonOptions& common) override;

  private:
    void AddOptions(CLI::App& command) override;

    std::string output_;
    std::string paper_ = "a4";
    std::string grouping_;
};

}  // namespace ledgerlift
