#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace ledgerlift {

// What a run of the real program gave.
struct Result {
    int status;
    std::string out;
    std::string err;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The commands that a help text lists under "Subcommands:", in its order.
inline std::vector<std::string> ListedCommands(const std::string& help) {
    std::vector<std::string> commands;
    std::size_t start = help.find("\nSubcommands:\n");
    if (start == std::string::npos) {
        return commands;
    }
    std::istringstream lines(help.substr(start + 14));
    std::regex entry("  ([a-z][a-z0-9-]*)( .*)?");
    std::smatch match;
    for (std::string line; std::getline(lines, line) && !line.empty();) {
        if (std::regex_match(line, match, entry)) {
            commands.push_back(match[1]);
        }
    }
    return commands;
}

// Runs the real program with its standard input closed, as a script would:
// away from the user's settings and product folder variable, and ended after
// a minute should it ever open its window instead of answering (status 124).
class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override { db = product.AddCompany("DEMO", "C01", "DEMO"); }

    Result Run(const std::string& args, const std::string& environment = "",
               const std::string& binary = LEDGERLIFT_BINARY) {
        std::string out = scratch.File("out.txt");
        std::string err = scratch.File("err.txt");
        // env takes its -u options before its assignments.
        std::string command = "env -u LEDGERLIFT_PRODUCT_FOLDER " + environment +
                              " XDG_CONFIG_HOME=" + scratch.File("config") + " timeout 60 " +
                              binary + " " + args + " </dev/null >" + out + " 2>" + err;
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
    }
    std::string Migrate(const std::string& fixture, const std::string& more = "") {
        return "migrate " + test::FixturePath(fixture) + " --company DEMO --date 2009-04-01 " +
               "--product-folder " + product.Path() + " " + more;
    }
    std::string Rows(const std::string& sql) { return test::QueryRows(db, sql); }

    test::ProductFolder product;
    test::TempFolder scratch;
    std::string db;
};

}  // namespace ledgerlift
