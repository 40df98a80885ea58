// The real program as separate processes: killed part way and run again, and
// two runs into one company at once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/BackgroundProgram.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

using Running = test::BackgroundProgram;

int RunToEnd(const std::vector<std::string>& args) {
    return Running(args).Wait();
}

// Everything a run writes, as counts and sums that do not depend on which
// identifiers the rows were given.
std::string Contents(const std::string& db) {
    return test::QueryRows(db, "select count(*) from tblCategories") +
           test::QueryRows(db,
                           "select count(*), total(MRP), total(PRate), total(SRate), "
                           "total(length(ItemCode)) from tblItemMaster") +
           test::QueryRows(db, "select count(*), total(Qty) from tblStock") +
           test::QueryRows(db,
                           "select count(*), total(QtyIN), total(QtyOut), total(PvalueIN), "
                           "total(MrpValueIN) from tblStockHistory") +
           test::QueryRows(db,
                           "select count(*), total(OpBalance), count(distinct GroupName) "
                           "from tblLedger") +
           test::QueryRows(db, "select count(*), total(AmountD), total(AmountC) from tblVoucher");
}

class InterruptedRun : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        workbook_ = new test::TempFolder;
        std::string command = "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR
                              "/scripts/make_big_workbook.py " +
                              Book() + " 6000 6000 40 >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void TearDownTestSuite() {
        delete workbook_;
        workbook_ = nullptr;
    }
    static std::string Book() { return workbook_->File("book.xls"); }

    std::vector<std::string> Migrate(const std::string& company) {
        return {LEDGERLIFT_BINARY,  "migrate",     Book(),  "--company",  company,
                "--date",           "2009-04-01",  "--yes", "--on-error", "continue",
                "--product-folder", product.Path()};
    }

    static test::TempFolder* workbook_;
    test::ProductFolder product;
};
test::TempFolder* InterruptedRun::workbook_ = nullptr;

struct KillPoint {
    const char* name;
    const char* afterLine;  // the status line after which the clock starts
    int milliseconds;
};
void PrintTo(const KillPoint& k, std::ostream* os) {
    *os << k.name;
}
class KilledRun : public InterruptedRun, public ::testing::WithParamInterface<KillPoint> {};

// Regression: a plain re-run after a run killed 3 s in stored every committed
// item again under a lengthened code and doubled its stock (102,945 items
// instead of 64,999).
TEST_P(KilledRun, RunAgainEndsWhereOneWholeRunEnds) {
    std::string whole = product.AddCompany("WHOLE", "C01", "WHOLE");
    std::string killed = product.AddCompany("KILLED", "C02", "KILLED");
    ASSERT_EQ(RunToEnd(Migrate("WHOLE")), 0);
    {
        Running run(Migrate("KILLED"));
        ASSERT_TRUE(run.WaitForLine(GetParam().afterLine));
        std::this_thread::sleep_for(std::chrono::milliseconds(GetParam().milliseconds));
        run.Signal(SIGKILL);
        run.Wait();
    }
    RecordProperty("contents_when_killed", Contents(killed));
    int again = RunToEnd(Migrate("KILLED"));
    EXPECT_LE(again, 1) << "the re-run ends normally";
    EXPECT_EQ(Contents(killed), Contents(whole));
    EXPECT_EQ(test::QueryRows(killed, "pragma integrity_check"), "ok\n");
}

INSTANTIATE_TEST_SUITE_P(
    Points, KilledRun,
    ::testing::Values(KillPoint{"DuringCategories", "Migrating Category Master", 0},
                      KillPoint{"EarlyInItems", "Started Migrating Item Master", 30},
                      KillPoint{"AfterABatchOfItems", "Started Migrating Item Master", 300},
                      KillPoint{"EarlyInLedgers", "Started Migrating Item Customer Supplier", 30},
                      KillPoint{"AfterABatchOfLedgers", "Started Migrating Item Customer Supplier",
                                300},
                      KillPoint{"AtTheEnd", "Summary: ledgers", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A run killed between an item and its opening stock (as a run of an older
// version, which committed them apart, could be): the re-run posts the
// missing stock for those items ("completed") and ends where one whole run
// ends, without a second item or a second posting.
TEST_F(InterruptedRun, AnItemLeftWithoutItsOpeningStockIsCompletedByTheReRun) {
    std::string whole = product.AddCompany("WHOLE", "C01", "WHOLE");
    std::string killed = product.AddCompany("KILLED", "C02", "KILLED");
    ASSERT_EQ(RunToEnd(Migrate("WHOLE")), 0);
    {
        Running run(Migrate("KILLED"));
        ASSERT_TRUE(run.WaitForLine("Started Migrating Item Master"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        run.Signal(SIGKILL);
        run.Wait();
    }
    const char* lastFive =
        "(select ItemID from tblStock group by ItemID order by ItemID desc limit 5)";
    ASSERT_EQ(test::QueryRows(killed, std::string("select count(*) from ") + lastFive), "5\n")
        << "the killed run committed items with their stock";
    test::Execute(killed, std::string("delete from tblStockHistory where ItemID in ") + lastFive +
                              "; delete from tblStock where ItemID in " + lastFive);
    Running again(Migrate("KILLED"));
    EXPECT_LE(again.Wait(), 1) << again.Output();
    EXPECT_NE(again.Output().find(" 5 completed"), std::string::npos) << again.Output();
    EXPECT_EQ(Contents(killed), Contents(whole));
    EXPECT_EQ(test::QueryRows(killed, "pragma integrity_check"), "ok\n");
}

// Regression: a second run into the same company failed every row after
// waiting 0.2 s ("stayed locked for 5 seconds") and still said "Migration
// Completed".
TEST_F(InterruptedRun, ASecondRunIntoTheSameCompanyRefusesAtOnce) {
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    Running first(Migrate("DEMO"));
    ASSERT_TRUE(first.WaitForLine("Started Migrating Item Master"));
    first.Signal(SIGSTOP);  // hold it in the middle of its run

    std::string err = test::TempFolder().Path();
    auto started = std::chrono::steady_clock::now();
    std::string command = std::string(LEDGERLIFT_BINARY) + " migrate " + Book() +
                          " --company DEMO --yes --product-folder " + product.Path() +
                          " </dev/null >/dev/null 2>" + product.Path() + "/second.err";
    int raw = std::system(command.c_str());
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::ifstream in(product.Path() + "/second.err");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(WEXITSTATUS(raw), 3) << text;
    EXPECT_NE(text.find("Another program is migrating into the company DEMO"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("question"), std::string::npos) << "nothing is asked: " << text;
    EXPECT_LT(seconds, 3.0) << "no lock wait";

    first.Signal(SIGCONT);
    EXPECT_EQ(first.Wait(), 0) << "the first run ends as if alone";
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblItemMaster"), "6000\n");
}

}  // namespace
}  // namespace ledgerlift
