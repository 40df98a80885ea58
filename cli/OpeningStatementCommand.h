#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift statement --company CODE --output FILE.pdf|FILE.html": the
// company's opening statement as migrated, read back from its database.
class OpeningStatementCommand final : public Command {
  public:
    const char* Name() const override { return "statement"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;

  private:
    std::string company_;
    std::string output_;
    std::string paper_ = "a4";
    std::string grouping_;
};

}  // namespace ledgerlift
