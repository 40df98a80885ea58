// The documents that go with the program agree with it and with each other:
// the licence is named alike everywhere; the man page and the bash completion
// know the very commands that the program's help lists, no more and no fewer;
// the man page names the workbook formats that the program reads and the
// samples that the demo lays out; README says nothing twice.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

std::string Source(const std::string& path) {
    return Slurp(std::string(LEDGERLIFT_SOURCE_DIR) + "/" + path);
}

// The man page with its escaped minus signs as typed ("\-" is "-").
std::string ManPage() {
    return std::regex_replace(Source("resources/linux/ledgerlift.1"), std::regex("\\\\-"), "-");
}

// The text of a man page section, from its heading to the next one.
std::string Section(const std::string& man, const std::string& heading) {
    std::size_t start = man.find("\n.SH " + heading + "\n");
    if (start == std::string::npos) {
        return "";
    }
    std::size_t end = man.find("\n.SH ", start + 1);
    return man.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The first groups of every match of pattern in text.
std::set<std::string> AllCaptured(const std::string& text, const std::string& pattern,
                                  std::regex::flag_type flags = std::regex::ECMAScript) {
    std::set<std::string> found;
    std::regex re(pattern, flags);
    for (std::sregex_iterator i(text.begin(), text.end(), re), end; i != end; ++i) {
        found.insert((*i)[1]);
    }
    return found;
}

std::set<std::string> AsSet(const std::vector<std::string>& list) {
    return {list.begin(), list.end()};
}

// What the installed bash completion offers for the words typed so far (the
// last one is being completed), run in folder.
std::set<std::string> Completions(const test::TempFolder& scratch, const std::string& words,
                                  const std::string& folder) {
    std::string script = "cd '" + folder + "' && source " + LEDGERLIFT_SOURCE_DIR +
                         "/resources/linux/ledgerlift.bash-completion; COMP_WORDS=(" + words +
                         "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _ledgerlift; "
                         "printf '%s\\n' \"${COMPREPLY[@]}\"";
    std::ofstream(scratch.File("complete.sh")) << script;
    std::string out = scratch.File("completions.txt");
    EXPECT_EQ(std::system(("bash " + scratch.File("complete.sh") + " >" + out).c_str()), 0);
    std::set<std::string> offered;
    std::istringstream lines(Slurp(out));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            offered.insert(line);
        }
    }
    return offered;
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

// Read from the program's help, not listed here: a new command fails this
// test until the man page and the completion know it too.
TEST_F(CommandLine, TheManPageAndTheCompletionKnowTheCommandsOfTheHelp) {
    std::set<std::string> commands = AsSet(ListedCommands(Run("--help").out));
    ASSERT_GE(commands.size(), 2u);

    std::string man = ManPage();
    EXPECT_EQ(AllCaptured(Section(man, "SYNOPSIS"), "\n\\.B ledgerlift ([a-z][a-z-]*)\n"), commands)
        << "the man page's synopsis";
    EXPECT_EQ(AllCaptured(Section(man, "COMMANDS"), "\n\\.TP\n\\.BI? \"?([a-z][a-z-]*)"), commands)
        << "the man page's COMMANDS";

    // In an empty folder, the first word offers the commands alone.
    fs::create_directories(scratch.File("empty"));
    EXPECT_EQ(Completions(scratch, "ledgerlift ''", scratch.File("empty")), commands)
        << "the completion's commands";
    for (const std::string& command : commands) {
        std::set<std::string> options =
            Completions(scratch, "ledgerlift " + command + " --", scratch.File("empty"));
        EXPECT_TRUE(options.count("--help")) << "the completion knows no options of " << command;
        EXPECT_FALSE(options.count("--version"))
            << "the completion takes " << command << " for a workbook";
    }
}

// The formats the program reads, as its help names them, are those the man
// page names, and it names no other workbook format.
TEST_F(CommandLine, TheManPageNamesTheWorkbookFormatsTheProgramReads) {
    const std::string format = "\\.(xl[a-z]*|f?od[a-z])\\b";
    std::set<std::string> read = AllCaptured(Run("--help").out, format, std::regex::icase);
    EXPECT_EQ(read, (std::set<std::string>{"ods", "xls", "xlsm", "xlsx"}));
    std::string man = ManPage();
    EXPECT_EQ(AllCaptured(man, format, std::regex::icase), read);
    EXPECT_EQ(AllCaptured(Section(man, "DESCRIPTION"), format, std::regex::icase), read)
        << "the description says which formats are read";
}

TEST_F(CommandLine, TheManPageNamesEverySampleTheDemoLaysOut) {
    Result demo = Run("demo " + scratch.File("demo"));
    ASSERT_EQ(demo.status, 0) << demo.err;
    std::set<std::string> samples = AllCaptured(demo.out, "made [^\n]*/(sample\\.[a-z]+)\n");
    EXPECT_GE(samples.size(), 3u) << demo.out;
    std::string entry = Section(ManPage(), "COMMANDS");
    std::size_t start = entry.find("\n.BI demo ");
    ASSERT_NE(start, std::string::npos) << "the man page describes no demo command";
    entry = entry.substr(start, entry.find("\n.TP\n", start + 1) - start);
    for (const std::string& sample : samples) {
        EXPECT_NE(entry.find(sample), std::string::npos) << sample << " is not in: " << entry;
    }
}

TEST_F(CommandLine, TheCompletionOffersWorkbooksOfEveryFormatInAnyCase) {
    std::string books = scratch.File("books");
    fs::create_directories(books + "/folder");
    for (const char* name : {"a.xls", "B.XLSX", "c.xlsm", "D.Ods", "notes.txt", "e.xlsb"}) {
        std::ofstream(books + "/" + name) << "x";
    }
    std::set<std::string> offered =
        Completions(scratch, "ledgerlift preview books/", scratch.Path());
    EXPECT_EQ(offered, (std::set<std::string>{"books/a.xls", "books/B.XLSX", "books/c.xlsm",
                                              "books/D.Ods", "books/folder"}));
}

// Text with every run of white space made a single space.
std::string Collapsed(const std::string& text) {
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

// Paragraphs, by blank lines, collapsed and trimmed.
std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> paragraphs;
    std::istringstream lines(text + "\n\n");
    std::string paragraph;
    for (std::string line; std::getline(lines, line);) {
        line = std::regex_replace(Collapsed(line), std::regex("^ | $"), "");
        if (!line.empty()) {
            paragraph += (paragraph.empty() ? "" : " ") + line;
        } else if (!paragraph.empty()) {
            paragraphs.push_back(paragraph);
            paragraph.clear();
        }
    }
    return paragraphs;
}

// The paragraphs of more than 60 characters that the text says more than once,
// however wrapped, on their own or run into another paragraph: a leftover of an
// edit, whose copies then drift apart. Short ones (a heading, a command) may
// well come back.
std::vector<std::string> Repeated(const std::string& text) {
    std::string whole = Collapsed(text);
    std::vector<std::string> repeated;
    for (const std::string& paragraph : Paragraphs(text)) {
        std::size_t first = whole.find(paragraph);
        if (paragraph.size() > 60 && whole.find(paragraph, first + 1) != std::string::npos &&
            std::find(repeated.begin(), repeated.end(), paragraph) == repeated.end()) {
            repeated.push_back(paragraph);
        }
    }
    return repeated;
}

TEST(Readme, RepeatsNoParagraph) {
    std::string readme = Source("README.md");
    ASSERT_GT(Paragraphs(readme).size(), 20u);
    EXPECT_EQ(Repeated(readme), std::vector<std::string>{});
}

TEST(Readme, TheCheckFindsAParagraphSaidTwiceHoweverItIsWrapped) {
    const std::string said =
        "`ledgerlift demo DIR` lays out the same demo product folder anywhere (it is\n"
        "compiled into the program, so the installed program can do it too).\n";
    const std::string rewrapped =
        "`ledgerlift demo DIR` lays out the same demo product folder\n"
        "anywhere (it is compiled into the program, so the installed program can do it "
        "too).\n";
    std::string twice = "# Title\n\n" + said + "\nBetween.\n\n" + rewrapped + "\n# Title\n";
    ASSERT_EQ(Repeated(twice).size(), 1u);
    EXPECT_EQ(Repeated(twice)[0].rfind("`ledgerlift demo DIR` lays out", 0), 0u);

    // Pasted into the middle of a code block's paragraph.
    std::string runIn =
        said + "\n    build/ledgerlift companies\n" + said + "    build/ledgerlift\n";
    EXPECT_EQ(Repeated(runIn).size(), 1u);

    EXPECT_EQ(Repeated("# Title\n\n" + said + "\n# Title\n"), std::vector<std::string>{})
        << "a short paragraph, such as a heading, may come back";
}

}  // namespace
}  // namespace ledgerlift
