#pragma once

#include <string>

#include "cli/ColumnOptions.h"
#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift check WORKBOOK --company CODE": what migrate would do, as
// "Check Data" predicts it.
class CheckCommand final : public Command {
  public:
    const char* Name() const override { return "check"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    int Run(const CommonOptions& common) override;

  private:
    std::string workbook_;
    std::string company_;
    std::string date_;  // yyyy-mm-dd; today when empty
    bool updateItems_ = false;
    bool negativeIsCredit_ = false;
    bool replaceOpenings_ = false;
    std::string format_ = "text";  // "text" or "json"
    std::string failedRows_;       // an .xlsx for the rows with problems
    ColumnOptions columns_;
};

}  // namespace ledgerlift
