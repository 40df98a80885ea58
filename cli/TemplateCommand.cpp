#include "cli/TemplateCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "base/TextRules.h"
#include "cli/CommandLine.h"
#include "company/OutputGuard.h"
#include "usecases/CompanyNames.h"

namespace ledgerlift {
namespace {

bool EndsWithXlsx(const std::string& path) {
    return path.size() > 5 && Upper(path.substr(path.size() - 5)) == ".XLSX";
}

}  // namespace

void TemplateCommand::Register(CLI::App& app, CommonOptions& common) {
    command_ = app.add_subcommand(
        Name(),
        "Write a workbook to fill in: sheets Items and Ledgers with the captions the load reads, "
        "a note on each, drop-down lists and number formats");
    command_->add_option("file", output_, "The workbook to write (.xlsx)")->required();
    command_->add_option("--company", company_,
                         "Offer this company's categories and account groups in drop-down lists "
                         "(another name is warned of, and accepted)");
    AddProductFolderOption(*command_, common);
    AddQuietOption(*command_, common);
    command_->footer(Footer("ledgerlift template opening.xlsx --company DEMO",
                            "  0 the template was written\n"
                            "  2 a usage error, a path that may not be written, or a company "
                            "that can't be read\n"
                            "  4 the file could not be written whole"));
}

int TemplateCommand::Run(const CommonOptions& common) {
    if (!EndsWithXlsx(output_)) {
        std::fprintf(stderr, "error: the template %s must be an .xlsx file.\n", output_.c_str());
        return kExitUsage;
    }
    // Without a product folder no company is known, but the template still
    // never replaces a read-only file, a link's target or a backup.
    const OutputGuard guard{common.productFolder, ""};
    if (std::string problem = guard.Problem("The template", output_); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    TemplateLists lists;
    try {
        if (!company_.empty()) {
            lists = ReadCompanyNames(common.productFolder, company_);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    for (const std::string& leftOut : lists.leftOut) {
        std::fprintf(stderr, "warning: %s\n", leftOut.c_str());
    }
    try {
        guard.Require("The template", output_);
        WriteTemplateWorkbook(output_, lists);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitNotWritten;
    }
    if (!common.quiet) {
        std::fprintf(stderr, "information: The template was written to %s.\n", output_.c_str());
    }
    return kExitDone;
}

}  // namespace ledgerlift
