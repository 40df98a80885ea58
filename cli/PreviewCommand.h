#pragma once

#include <string>

#include "cli/ColumnOptions.h"
#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift preview WORKBOOK": the rows as the import would load them.
class PreviewCommand final : public Command {
  public:
    const char* Name() const override { return "preview"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    bool NeedsProductFolder() const override { return false; }
    int Run(const CommonOptions& common) override;

  private:
    std::string workbook_;
    std::string sheet_;           // "", "items" or "ledgers"
    std::string format_ = "tsv";  // "tsv", "csv" or "json"
    ColumnOptions columns_;
};

}  // namespace ledgerlift
