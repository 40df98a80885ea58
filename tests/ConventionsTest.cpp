// The command line's conventions, on the real program: version, usage errors
// that never open the window, the sentence without a display, the product
// folder's order, output paths checked before anything is read or written,
// the demo folder, --quiet, and help, man page and completion that agree.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <regex>
#include <set>

#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// Named rows print by name, so test names and failures stay readable.
struct Case {
    const char* name;
    const char* args;
    int status;
    const char* says;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

TEST_F(CommandLine, PrintsTheVersionBothWays) {
    for (const char* flag : {"--version", "-V"}) {
        Result r = Run(flag);
        EXPECT_EQ(r.status, 0) << flag;
        EXPECT_EQ(r.out,
                  "ledgerlift 1.0\n"
                  "Licence GPL-3.0-or-later: GNU GPL version 3 or later; there is NO WARRANTY.\n")
            << flag;
        EXPECT_EQ(r.err, "") << flag;
    }
}

// Each with the offscreen platform, where the window could open: a run that
// opened it would be ended by the time limit (124), not give 2.
class UsageErrors : public CommandLine, public ::testing::WithParamInterface<Case> {};

TEST_P(UsageErrors, EndWithStatusTwoAndNeverOpenTheWindow) {
    Result r = Run(GetParam().args, "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    ::testing::Values(
        Case{"UnknownOption", "--bogus", 2, "--bogus"},
        Case{"UnknownCommand", "bogus", 2,
             "bogus is neither a command (companies, preview, check, migrate, columns, template, "
             "demo, backups, restore, statement) nor a workbook"},
        Case{"UnknownOptionOfACommand", "companies --bogus", 2, "--bogus"},
        Case{"MissingWorkbookForTheWindow", "/no/such/book.xls", 2, "/no/such/book.xls"},
        Case{"FolderForTheWindow", "/tmp", 2, "/tmp is a folder, not a workbook"},
        Case{"TwoWorkbooks", "/tmp /tmp", 2, "/tmp"},
        Case{"MissingFolderValue", "--product-folder", 2, "--product-folder"},
        Case{"UnknownFormat", "preview x.xls --format xml", 2, "xml"}),
    CaseName);

class NoDesktop : public CommandLine, public ::testing::WithParamInterface<Case> {};

// The sentence names every command that the help lists, since none of them
// needs a desktop.
TEST_P(NoDesktop, SaysInOneSentenceThatTheWindowNeedsADesktop) {
    std::vector<std::string> commands = ListedCommands(Run("--help").out);
    ASSERT_GE(commands.size(), 2u);
    std::string listed = commands.front();
    for (std::size_t i = 1; i < commands.size(); ++i) {
        listed += (i + 1 == commands.size() ? " and " : ", ") + commands[i];
    }
    Result r = Run(GetParam().args, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "Ledgerlift's window needs a desktop, and no display was found (DISPLAY and "
              "WAYLAND_DISPLAY are not set); without one, use its commands " +
                  listed + " (see \"ledgerlift --help\").\n");
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Window, NoDesktop,
    ::testing::Values(Case{"NoArguments", "", 2, ""},
                      Case{"AWorkbook", LEDGERLIFT_SOURCE_DIR "/resources/demo/sample.xls", 2, ""},
                      Case{"AProductFolder", "--product-folder /tmp", 2, ""}),
    CaseName);

TEST_F(CommandLine, TheCommandsNeedNoDesktop) {
    Result r = Run("companies --product-folder " + product.Path(),
                   "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "DEMO\n");
}

// The product folder's order, seen through "companies": each source has a
// company of its own; the program's folder in the build tree holds the demo.
struct Order {
    const char* name;
    bool option, environment, remembered, rememberedGone;
    const char* listed;
};
void PrintTo(const Order& o, std::ostream* os) {
    *os << o.name;
}

class ProductFolderOrder : public CommandLine, public ::testing::WithParamInterface<Order> {
  protected:
    std::string Remember(const std::string& folder) {
        fs::create_directories(scratch.File("config/Ledgerlift"));
        std::ofstream(scratch.File("config/Ledgerlift/Ledgerlift.conf"))
            << "[General]\nproductFolder=" << folder << "\n";
        return folder;
    }
    test::ProductFolder optionFolder, environmentFolder, rememberedFolder;
};

TEST_P(ProductFolderOrder, ListsTheCompaniesOfTheFolderFirstInOrder) {
    optionFolder.AddCompany("OPTION", "C01", "O");
    environmentFolder.AddCompany("ENVIRONMENT", "C01", "E");
    rememberedFolder.AddCompany("REMEMBERED", "C01", "R");
    const Order& o = GetParam();
    std::string args = "companies";
    if (o.option) {
        args += " --product-folder " + optionFolder.Path();
    }
    std::string environment;
    if (o.environment) {
        environment = std::string("LEDGERLIFT_PRODUCT_FOLDER=") + environmentFolder.Path();
    }
    if (o.remembered) {
        Remember(rememberedFolder.Path());
    }
    if (o.rememberedGone) {
        Remember("/no/such/product/folder");
    }
    Result r = Run(args, environment);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, o.listed);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ProductFolderOrder,
    ::testing::Values(Order{"TheOptionFirst", true, true, true, false, "OPTION\n"},
                      Order{"TheVariableNext", false, true, true, false, "ENVIRONMENT\n"},
                      Order{"TheRememberedFolderNext", false, false, true, false, "REMEMBERED\n"},
                      Order{"ARememberedFolderThatIsGoneIsPassedOver", false, false, false, true,
                            "DEMO\nSHOP\n"},
                      Order{"TheProgramsFolderLast", false, false, false, false, "DEMO\nSHOP\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandLine, WithoutAProductFolderSaysHowToNameOne) {
    // The program alone, in a folder without Resources/Database.
    test::TempFolder elsewhere;
    std::string binary = elsewhere.File("ledgerlift");
    fs::copy_file(LEDGERLIFT_BINARY, binary);
    fs::permissions(binary, fs::perms::owner_all);
    Result r = Run("companies", "", binary);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("error: no product folder"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--product-folder DIR or LEDGERLIFT_PRODUCT_FOLDER=DIR"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("ledgerlift demo DIR"), std::string::npos) << r.err;
}

// An output path that can't be written stops the command before it reads the
// workbook or touches the company database.
class EarlyPathChecks : public CommandLine, public ::testing::WithParamInterface<Case> {};

TEST_P(EarlyPathChecks, RefuseBeforeAnythingIsReadOrWritten) {
    fs::create_directories(scratch.File("a-folder"));
    std::ofstream(scratch.File("a-file")) << "x";
    // The paths lie in the scratch folder, known only at run time.
    std::string args = std::regex_replace(GetParam().args, std::regex("SCRATCH"), scratch.Path());
    std::string says = std::regex_replace(GetParam().says, std::regex("SCRATCH"), scratch.Path());
    if (args.rfind("--report", 0) == 0) {
        args = Migrate("two_rows.xls", "--yes " + args);
    }
    std::string before = Slurp(db);
    Result r = Run(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Completed Excel importing"), std::string::npos)
        << "the workbook was not loaded";
    EXPECT_TRUE(Slurp(db) == before) << "the company database is untouched";
    EXPECT_FALSE(fs::exists(db + "-wal"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, EarlyPathChecks,
    ::testing::Values(
        Case{"ReportInAMissingFolder", "--report SCRATCH/missing/report.csv", 2,
             "error: The report SCRATCH/missing/report.csv cannot be written: its folder "
             "SCRATCH/missing does not exist."},
        Case{"ReportThatIsAFolder", "--report SCRATCH/a-folder", 2,
             "cannot be written: it is a folder."},
        Case{"ReportBelowAFile", "--report SCRATCH/a-file/report.csv", 2,
             "SCRATCH/a-file is not a folder."},
        Case{"DemoInAMissingFolder", "demo SCRATCH/missing/demo", 2,
             "error: The demo folder SCRATCH/missing/demo cannot be written: its folder "
             "SCRATCH/missing does not exist."},
        Case{"DemoOverAFile", "demo SCRATCH/a-file", 2, "it is a file, not a folder."}),
    CaseName);

TEST_F(CommandLine, AReportInAReadOnlyFolderIsRefusedBeforeTheRun) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may write into any folder";
    }
    std::string folder = scratch.File("read-only");
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    Result r = Run(Migrate("two_rows.xls", "--yes --report " + folder + "/report.csv"));
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("its folder " + folder + " is not writable."), std::string::npos) << r.err;
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
}

TEST_F(CommandLine, LaysOutTheDemoAnywhereAndNeverOverwrites) {
    std::string demo = scratch.File("demo");
    Result first = Run("demo " + demo);
    EXPECT_EQ(first.status, 0) << first.err;
    std::string database = demo + "/Resources/Database";
    EXPECT_EQ(first.out, "made " + database + "/TallvaneInitial.mdb\n" + "made " + database +
                             "/C01/DEMO.mdb\n" + "made " + database + "/C02/SHOP.mdb\n" + "made " +
                             database + "/sample.xls\n" + "made " + database + "/sample.xlsx\n" +
                             "made " + database + "/sample.ods\n" + "The demo product folder is " +
                             demo + "; try: ledgerlift companies --product-folder " + demo + "\n");
    EXPECT_TRUE(Slurp(database + "/sample.xls") ==
                Slurp(LEDGERLIFT_SOURCE_DIR "/resources/demo/sample.xls"));
    Result companies = Run("companies --product-folder " + demo);
    EXPECT_EQ(companies.out, "DEMO\nSHOP\n");

    // A migrated company survives laying the demo out again.
    db = database + "/C01/DEMO.mdb";
    Result migrate = Run("migrate " + database + "/sample.xls --company DEMO --yes --quiet " +
                         "--product-folder " + demo);
    EXPECT_EQ(migrate.status, 0) << migrate.err;
    std::string items = Rows("select count(*) from tblItemMaster");
    EXPECT_NE(items, "0\n");
    Result again = Run("demo " + demo);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("kept " + database + "/C01/DEMO.mdb (it was already there)\n"),
              std::string::npos)
        << again.out;
    EXPECT_EQ(again.out.find("made "), std::string::npos) << again.out;
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), items);
}

TEST_F(CommandLine, QuietPrintsOnlyWarningsAndErrors) {
    Result r = Run(Migrate("two_rows.xls", "--yes --quiet"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster order by 1"), "A1\nA2\n");

    Result failing = Run(Migrate("bad_row.xls", "--yes --on-error continue -q"));
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(failing.out, "");
    EXPECT_NE(
        failing.err.find("question: Are you sure to Continue with next data Ledger row 3, Too big"),
        std::string::npos)
        << "a failure still shows: " << failing.err;
    EXPECT_EQ(failing.err.find("information: "), std::string::npos) << failing.err;
    EXPECT_EQ(failing.err.find("Are you to continue with Migratiion"), std::string::npos)
        << failing.err;
}

// Help, man page and completion, command by command.
const char* const kCommands[] = {"",        "companies", "preview",  "check",
                                 "migrate", "columns",   "template", "demo",
                                 "backups", "restore",   "statement"};

class EachCommand : public CommandLine, public ::testing::WithParamInterface<const char*> {
  protected:
    std::string Help() {
        Result r = Run(std::string(GetParam()) + " --help");
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
    // The long options that the help lists.
    std::set<std::string> Options() {
        std::set<std::string> options;
        std::string help = Help();
        std::string listed = help.substr(help.find("Options:"));
        listed = listed.substr(0, listed.find("Example:"));
        std::regex option("(^|[ ,])(--[a-z][a-z-]*)");
        for (std::sregex_iterator i(listed.begin(), listed.end(), option), end; i != end; ++i) {
            options.insert((*i)[2]);
        }
        return options;
    }
};

TEST_P(EachCommand, HelpEndsWithAnExampleAndTheExitStatuses) {
    std::string help = Help();
    std::size_t example = help.find("\nExample:\n  ledgerlift ");
    std::size_t statuses = help.find("\nExit status:\n  0 ");
    ASSERT_NE(example, std::string::npos) << help;
    ASSERT_NE(statuses, std::string::npos) << help;
    EXPECT_LT(example, statuses);
    std::string tail = help.substr(statuses + 14);
    EXPECT_TRUE(std::regex_match(tail, std::regex("(  [0-4] [^\n]+\n)+\n*"))) << tail;
    EXPECT_NE(tail.find("  2 a usage error"), std::string::npos) << tail;
}

TEST_P(EachCommand, TheManPageNamesEveryOptionOfTheHelp) {
    std::string man = Slurp(LEDGERLIFT_SOURCE_DIR "/resources/linux/ledgerlift.1");
    man = std::regex_replace(man, std::regex("\\\\-"), "-");
    if (*GetParam()) {
        EXPECT_NE(man.find(std::string(".B ledgerlift ") + GetParam()), std::string::npos);
    }
    auto options = Options();
    EXPECT_GE(options.size(), 2u);
    for (const std::string& option : options) {
        EXPECT_NE(man.find(option), std::string::npos) << option << " is not in the man page";
    }
}

TEST_P(EachCommand, TheCompletionOffersEveryOptionOfTheHelp) {
    std::string words = std::string("ledgerlift ") + GetParam() + (*GetParam() ? " --" : "--");
    std::string script = std::string("source ") + LEDGERLIFT_SOURCE_DIR +
                         "/resources/linux/ledgerlift.bash-completion; COMP_WORDS=(" + words +
                         "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _ledgerlift; printf "
                         "'%s\\n' \"${COMPREPLY[@]}\"";
    std::ofstream(scratch.File("complete.sh")) << script;
    std::string out = scratch.File("completions.txt");
    ASSERT_EQ(std::system(("bash " + scratch.File("complete.sh") + " >" + out).c_str()), 0);
    std::set<std::string> offered;
    std::istringstream lines(Slurp(out));
    for (std::string line; std::getline(lines, line);) {
        offered.insert(line);
    }
    EXPECT_EQ(offered, Options());
}

INSTANTIATE_TEST_SUITE_P(CommandLine, EachCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) {
                             return *info.param ? std::string(info.param) : std::string("Window");
                         });

}  // namespace
}  // namespace ledgerlift
