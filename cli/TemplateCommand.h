#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// "ledgerlift template FILE.xlsx [--company CODE]": a workbook to fill in,
// laid out as the load reads it best.
class TemplateCommand final : public Command {
  public:
    const char* Name() const override { return "template"; }
    void Register(CLI::App& app, CommonOptions& common) override;
    // Only a company's lists need the product folder.
    bool NeedsProductFolder() const override { return !company_.empty(); }
    bool UsesProductFolder() const override { return true; }
    int Run(const CommonOptions& common) override;

  private:
    std::string output_;
    std::string company_;
};

}  // namespace ledgerlift
