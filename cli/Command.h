#pragma once

#include <string>

namespace CLI {
class App;
}

namespace ledgerlift {

// What the commands share: the product folder (found by the usual order
// before Run) and --quiet.
struct CommonOptions {
    std::string productFolder;
    bool quiet = false;
};

// One command of the command line. It adds itself to the program's parser,
// with its own options, help and footer (an example and its exit statuses),
// and runs when it was given.
class Command {
  public:
    virtual ~Command() = default;

    // Adds the command to app; its options land in the command itself, the
    // shared ones in common.
    virtual void Register(CLI::App& app, CommonOptions& common) = 0;
    // Whether the command needs the product folder (a usage error without
    // one).
    virtual bool NeedsProductFolder() const { return true; }
    // Whether the command uses the product folder when one is found, without
    // needing one (its outputs then keep clear of the company databases).
    virtual bool UsesProductFolder() const { return NeedsProductFolder(); }
    // Runs the command; gives the program's exit status.
    virtual int Run(const CommonOptions& common) = 0;

    // The command's name, as typed.
    virtual const char* Name() const = 0;
    bool Parsed() const;

  protected:
    CLI::App* command_ = nullptr;
};

// Every command's help ends with an example and its exit statuses.
std::string Footer(const std::string& example, const std::string& statuses);
// --product-folder and --quiet on a command.
void AddProductFolderOption(CLI::App& command, CommonOptions& common);
void AddQuietOption(CLI::App& command, CommonOptions& common);
// --company CODE, required, on a command that works on one company.
void AddCompanyOption(CLI::App& command, std::string& company);
// --yes on a command that asks for confirmation (migrate and restore).
void AddYesOption(CLI::App& command, bool& yes);

// The help of a workbook argument.
inline constexpr const char* kWorkbookHelp =
    "The workbook: .xls, .xlsx, .xlsm or .ods (its format is told by its content)";

}  // namespace ledgerlift
