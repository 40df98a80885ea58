#pragma once

#include <string>

#include "cli/WorkbookCommand.h"

namespace ledgerlift {

// "ledgerlift preview WORKBOOK": the rows as the import would load them.
class PreviewCommand final : public WorkbookCommand {
  public:
    PreviewCommand()
        : WorkbookCommand(
              "Print the rows of a workbook as the import would load them; writes nothing") {}
    const char* Name() const override { return "preview"; }
    bool NeedsProductFolder() const override { return false; }
    int Run(const CommonOptions& common) override;

  private:
    void AddOptions(CLI::App& command, CommonOptions& common) override;

    std::string sheet_;           // "", "items" or "ledgers"
    std::string format_ = "tsv";  // "tsv", "csv" or "json"
};

}  // namespace ledgerlift
