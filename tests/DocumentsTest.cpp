// The documents that go with the program agree with it and with each other:
// the licence is named alike everywhere.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

std::string Source(const std::string& path) {
    return Slurp(std::string(LEDGERLIFT_SOURCE_DIR) + "/" + path);
}

// The first group of the first match of pattern in text ("" for none).
std::string Captured(const std::string& text, const std::string& pattern) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "";
}

TEST_F(CommandLine, TheLicenceIsNamedAlikeEverywhere) {
    std::string metainfo = Source("resources/linux/org.ledgerlift.Ledgerlift.metainfo.xml");
    std::string licence = Captured(metainfo, "<project_license>([^<]+)</project_license>");
    EXPECT_EQ(licence, "GPL-3.0-or-later");

    Result version = Run("--version");
    EXPECT_NE(version.out.find("\nLicence " + licence + ": "), std::string::npos) << version.out;

    // Machine-readable, and Debian's short name for the same licence.
    std::string copyright = Source("resources/linux/copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/"
                              "copyright-format/1.0/\n",
                              0),
              0u);
    EXPECT_EQ(Captured(copyright, "\nFiles: \\*\nCopyright: [^\n]+\nLicense: ([^\n]+)\n"),
              "GPL-3+");
    EXPECT_NE(copyright.find("\nLicense: GPL-3+\n This program is free software"),
              std::string::npos);

    std::string text = Source("LICENSE");
    EXPECT_EQ(Captured(text, "^ *(GNU GENERAL PUBLIC LICENSE\n *Version 3),"),
              "GNU GENERAL PUBLIC LICENSE\n                       Version 3");
}

}  // namespace
}  // namespace ledgerlift
