#pragma once

#include <string>

#include "cli/WorkbookCommand.h"

namespace ledgerlift {

// "ledgerlift columns WORKBOOK": the sheets and columns the load would read,
// per sheet what it is read as and per field its column, heading and how it
// was found; as JSON, the file that --columns takes back.
class ColumnsCommand final : public WorkbookCommand {
  public:
    ColumnsCommand()
        : WorkbookCommand(
              "Print the sheets and columns the load would read: per sheet what it is read as, "
              "per field its column, heading and how it was found; writes nothing") {}
    const char* Name() const override { return "columns"; }
    bool NeedsProductFolder() const override { return false; }
    int Run(const CommonOptions& common) override;

  private:
    void AddOptions(CLI::App& command, CommonOptions& common) override;

    std::string format_ = "text";  // "text" or "json"
};

}  // namespace ledgerlift
