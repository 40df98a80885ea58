// "ledgerlift statement": the real program on the bundled sample. Its figures
// are the check's and the database's own sums, in the PDF (as pdftotext reads
// it, on the pages pdfinfo counts) and in the HTML alike, after one run and
// after a second; every refusal gives its status, says why and writes
// nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "base/DigitGrouping.h"
#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

const std::string kSample = LEDGERLIFT_SOURCE_DIR "/resources/demo/sample.xls";

// What a shell command prints on its standard output.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    return text;
}

// A number of the check's JSON: "key": number, in the object named.
double JsonNumber(const std::string& json, const std::string& object, const std::string& key) {
    std::smatch m;
    std::regex pattern("\"" + object + "\": \\{[^}]*\"" + key + "\": (-?[0-9.eE+-]+)");
    EXPECT_TRUE(std::regex_search(json, m, pattern)) << object << "." << key << " in " << json;
    return m.empty() ? 0 : std::stod(m[1]);
}

class OpeningStatementCommand : public CommandLine {
  protected:
    Result Run(const std::string& args, const std::string& environment = "") {
        return CommandLine::Run(args + " --product-folder " + product.Path(), environment);
    }
    Result Migrate(const std::string& workbook) {
        return Run("migrate " + workbook + " --company DEMO --date 2024-04-01 --yes --quiet");
    }
    // The database's own sums of the opening postings: stock value, debit,
    // credit.
    std::vector<double> DatabaseSums() {
        auto sum = [&](const std::string& sql) {
            Value v = test::QueryValue(db, sql);
            return v.IsNull() ? 0.0 : v.IsReal() ? v.AsReal() : static_cast<double>(v.AsInteger());
        };
        return {sum("select sum(PValueIn - PValueOut) from tblStockHistory where VchType = "
                    "'OpeningStock'"),
                sum("select sum(AmountD) from tblVoucher where TrType = 'Opening' and DrLID <> 0"),
                sum("select sum(AmountC) from tblVoucher where TrType = 'Opening' and DrLID <> 0")};
    }
    // Every figure of the opening position, as the statement shows them.
    static void ExpectFigures(const std::string& text, const std::vector<double>& figures,
                              DigitGrouping grouping, const std::string& where) {
        double stock = figures[0], debit = figures[1], credit = figures[2];
        for (double figure : {stock, debit, credit}) {
            EXPECT_NE(text.find(AmountText(figure, grouping)), std::string::npos)
                << AmountText(figure, grouping) << " in the " << where;
        }
        std::string difference = "Opening difference to be posted to capital: " +
                                 AmountText(debit + stock - credit, grouping);
        EXPECT_NE(text.find(difference), std::string::npos) << difference << " in the " << where;
    }
};

struct Layout {
    const char* name;
    const char* options;      // paper and grouping
    const char* environment;  // the locale
    DigitGrouping grouping;
    const char* pageSize;  // as pdfinfo says it
};
void PrintTo(const Layout& l, std::ostream* os) {
    *os << l.name;
}
class StatementOfTheSample : public OpeningStatementCommand,
                             public ::testing::WithParamInterface<Layout> {};

TEST_P(StatementOfTheSample, HoldsTheChecksFiguresAndTheDatabasesSums) {
    Result check = Run("check " + kSample + " --company DEMO --format json --quiet");
    ASSERT_EQ(check.status, 0) << check.err;
    std::vector<double> predicted = {JsonNumber(check.out, "opening_balances", "stock_value"),
                                     JsonNumber(check.out, "opening_balances", "debit"),
                                     JsonNumber(check.out, "opening_balances", "credit")};
    ASSERT_EQ(Migrate(kSample).status, 0);
    std::vector<double> sums = DatabaseSums();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(sums[i], predicted[i], 0.00005);
    }
    std::string pdf = scratch.File("DEMO opening.pdf");
    std::string html = scratch.File("DEMO opening.html");
    const Layout& l = GetParam();
    Result written =
        Run("statement --company DEMO --output '" + pdf + "' " + l.options, l.environment);
    ASSERT_EQ(written.status, 0) << written.err;
    ASSERT_EQ(Run("statement --company DEMO -o '" + html + "' " + l.options, l.environment).status,
              0);
    std::string text = Output("pdftotext -layout '" + pdf + "' -");
    ExpectFigures(text, predicted, l.grouping, "PDF");
    ExpectFigures(Slurp(html), predicted, l.grouping, "HTML");
    EXPECT_NE(
        text.find("The backup that undoes it: " + product.DatabaseFolder() + "/C01/Backups/DEMO-"),
        std::string::npos)
        << text;
    EXPECT_NE(Slurp(html).find("Its workbook: " + kSample), std::string::npos);
    EXPECT_NE(text.find("sample.xls"), std::string::npos) << "the last run's workbook";
    std::string info = Output("pdfinfo '" + pdf + "'");
    std::smatch pages;
    ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages: +([0-9]+)"))) << info;
    EXPECT_NE(written.out.find("(" + pages[1].str() + " pages)"), std::string::npos) << written.out;
    EXPECT_NE(text.find("Page " + pages[1].str() + " of " + pages[1].str()), std::string::npos);
    EXPECT_NE(info.find(l.pageSize), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Opening statement of DEMO, DEMO Ltd"), std::string::npos)
        << info;
}

INSTANTIATE_TEST_SUITE_P(
    OpeningStatementCommand, StatementOfTheSample,
    ::testing::Values(Layout{"WesternOnA4", "", "LANG=en_US.UTF-8 LC_ALL=", DigitGrouping::Western,
                             "595.276 x 841.89 pts (A4)"},
                      Layout{"IndianByTheLocale", "", "LANG=C LC_ALL=en_IN.UTF-8",
                             DigitGrouping::Indian, "(A4)"},
                      Layout{"IndianOnLetterAsAsked", "--paper letter --grouping indian",
                             "LC_ALL=C", DigitGrouping::Indian, "612 x 792 pts (letter)"},
                      Layout{"WesternAsAskedUnderAnIndianLocale", "--grouping western",
                             "LC_ALL=en_IN", DigitGrouping::Western, "(A4)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpeningStatementCommand, AfterASecondRunHoldsWhatBothWrote) {
    ASSERT_EQ(Migrate(kSample).status, 0);
    ASSERT_LE(Migrate(test::FixturePath("real_mixed.xls")).status, 1);
    std::string pdf = scratch.File("second.pdf");
    Result r = Run("statement --company DEMO -o " + pdf + " --grouping western");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string text = Output("pdftotext -layout " + pdf + " -");
    ExpectFigures(text, DatabaseSums(), DigitGrouping::Western, "PDF");
    EXPECT_NE(text.find("real_mixed.xls"), std::string::npos) << "the last run is the second";
}

struct Refusal {
    const char* name;
    const char* args;  // SCRATCH and DATABASE are filled in
    int status;
    const char* says;
    bool migrated;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}
class StatementRefusals : public OpeningStatementCommand,
                          public ::testing::WithParamInterface<Refusal> {};

TEST_P(StatementRefusals, GiveTheirStatusSayWhyAndWriteNothing) {
    if (GetParam().migrated) {
        ASSERT_EQ(Migrate(test::FixturePath("two_rows.xls")).status, 0);
    }
    fs::create_directories(scratch.File("folder.pdf"));
    fs::create_symlink(scratch.File("elsewhere.pdf"), scratch.File("link.pdf"));
    fs::create_hard_link(db, scratch.File("database.pdf"));
    std::string args = GetParam().args;
    for (auto [key, value] : {std::pair{std::string("SCRATCH"), scratch.Path()},
                              std::pair{std::string("DATABASE"), product.DatabaseFolder()}}) {
        for (std::size_t at; (at = args.find(key)) != std::string::npos;) {
            args.replace(at, key.size(), value);
        }
    }
    std::string before = Slurp(db);
    // The files of the product folder and the scratch folder, but for the
    // program's own output and the mark a company is taken with, which every
    // procedure that takes it leaves.
    auto files = [&] {
        std::set<std::string> names;
        for (const std::string& folder : {product.Path(), scratch.Path()}) {
            for (const auto& e : fs::recursive_directory_iterator(folder)) {
                std::string name = e.path().filename().string();
                if (name != "out.txt" && name != "err.txt" && !name.ends_with(".migrating")) {
                    names.insert(e.path().string());
                }
            }
        }
        return names;
    };
    std::set<std::string> was = files();
    Result r = Run("statement " + args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    if (r.err.rfind("error: ", 0) == 0) {  // not the option parser's own words
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
    EXPECT_EQ(files(), was) << "nothing written";
    EXPECT_TRUE(Slurp(db) == before) << "the company's database is untouched";
}

INSTANTIATE_TEST_SUITE_P(
    OpeningStatementCommand, StatementRefusals,
    ::testing::Values(
        Refusal{"NoSuchCompany", "--company NOSUCH -o SCRATCH/s.pdf", 3,
                "The opening statement of the company NOSUCH was not written: The company NOSUCH "
                "is not listed",
                false},
        Refusal{"NotMigratedYet", "--company DEMO -o SCRATCH/s.pdf", 4,
                "The company DEMO has not been migrated yet", false},
        Refusal{"NoKnownFormat", "--company DEMO -o SCRATCH/s.txt", 2,
                "needs a name that ends in .pdf (a PDF) or .html (a web page)", true},
        Refusal{"MissingFolder", "--company DEMO -o SCRATCH/missing/s.pdf", 2,
                "missing/s.pdf cannot be written: its folder", true},
        Refusal{"AFolder", "--company DEMO -o SCRATCH/folder.pdf", 2, "it is a folder", true},
        Refusal{"ALink", "--company DEMO -o SCRATCH/link.pdf", 2, "it is a symbolic link", true},
        Refusal{"TheDatabaseUnderAnotherName", "--company DEMO -o SCRATCH/database.pdf", 2,
                "that is the database of the company DEMO", true},
        Refusal{"InTheBackupFolder", "--company DEMO -o DATABASE/C01/Backups/s.pdf", 2,
                "a file in the backup folder of the company DEMO", true},
        Refusal{"UnknownPaper", "--company DEMO -o SCRATCH/s.pdf --paper a3", 2, "a3", true},
        Refusal{"UnknownGrouping", "--company DEMO -o SCRATCH/s.pdf --grouping swiss", 2, "swiss",
                true}),
    [](const auto& info) { return std::string(info.param.name); });

// What a command that only reads the company leaves beside its database:
// nothing. Each once left DEMO.mdb-wal and DEMO.mdb-shm behind.
struct ReadOnlyUse {
    const char* name;
    const char* args;  // SCRATCH is filled in
};

class ReadOnlyUses : public OpeningStatementCommand,
                     public ::testing::WithParamInterface<ReadOnlyUse> {};

TEST_P(ReadOnlyUses, LeaveNothingBesideTheDatabase) {
    ASSERT_EQ(Migrate(test::FixturePath("two_rows.xls")).status, 0);
    ASSERT_FALSE(fs::exists(db + "-wal"));
    std::string args = std::regex_replace(GetParam().args, std::regex("SCRATCH"), scratch.Path());
    Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(db + "-wal"));
    EXPECT_FALSE(fs::exists(db + "-shm"));
    EXPECT_FALSE(fs::exists(db + "-journal"));
}

INSTANTIATE_TEST_SUITE_P(OpeningStatementCommand, ReadOnlyUses,
                         ::testing::Values(ReadOnlyUse{"Statement",
                                                       "statement --company DEMO -o SCRATCH/s.pdf"},
                                           ReadOnlyUse{"TemplateOfTheCompany",
                                                       "template SCRATCH/t.xlsx --company DEMO"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpeningStatementCommand, ACompanyWithoutItsDatabaseCannotBeOpened) {
    fs::remove(db);
    Result r = Run("statement --company DEMO -o " + scratch.File("s.pdf"));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("could not be found"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch.File("s.pdf")));
}

}  // namespace
}  // namespace ledgerlift
