#pragma once

#include <string>

#include "cli/ColumnOptions.h"
#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift columns WORKBOOK": the sheets and columns the load would read,
// per sheet what it is read as and per field its column, heading and how it
// was found; as JSON, the file that --columns takes back.
class ColumnsCommand final : public Command {
  public:
    const char* Name() const override { return "columns"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    bool NeedsProductFolder() const override { return false; }
    int Run(const CommonOptions& common) override;

  private:
    std::string workbook_;
    std::string format_ = "text";  // "text" or "json"
    ColumnOptions columns_;
};

}  // namespace ledgerlift
