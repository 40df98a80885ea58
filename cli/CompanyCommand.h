#pragma once

#include <string>

#include "cli/Command.h"

namespace ledgerlift {

// A command on one company's database, found under the product folder:
// backups, restore and statement. --company, --product-folder and (for the
// commands that take it) --quiet are registered here, once, in the order the
// help lists them; each command adds its own options (and its footer) between
// the company and the product folder.
class CompanyCommand : public Command {
  public:
    void Register(CLI::App& app, CommonOptions& common) final;

  protected:
    // The command's one-line help, and whether it takes --quiet.
    explicit CompanyCommand(const char* help, bool takesQuiet = false)
        : help_(help), takesQuiet_(takesQuiet) {}

    // Adds the command's own options and its footer.
    virtual void AddOptions(CLI::App& command) = 0;

    const std::string& Company() const { return company_; }

  private:
    const char* help_;
    bool takesQuiet_;
    std::string company_;
};

}  // namespace ledgerlift
