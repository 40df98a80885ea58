#include "data/Recordset.h"
#include "migration/LedgerStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

class LedgerStage : public test::MigrationTest {
  protected:
    static std::vector<std::string> Ledger(const std::string& name, const std::string& balance,
                                           const std::string& drcr,
                                           const std::string& group = "Sundry Debtors") {
        return {"AL", name, group, " 1 Main St ", "555", "TIN", balance, drcr, " North "};
    }
    std::string Vouchers() {
        return Rows(
            "select MainID, DrLID, CrLID, Particulars, AmountD, AmountC from tblVoucher "
            "order by rowid");
    }
};

TEST(LedgerInsert, TheStatementCharacterForCharacter) {
    LedgerRecord l;
    l.lid = 3;
    l.name = " O'Brien ";
    l.alias = "OB";
    l.group = "Sundry Creditors";
    l.debit = false;
    l.opBalance = 250;
    l.address = "2 Side St";
    l.phone = "555'1";
    l.fax = " T'1 ";
    l.accountGroupId = 13;
    l.area = " South ";
    EXPECT_EQ(LedgerInsertStatement(l).Text(),
              "insert into tblledger (LID,LName,LAliasName,GroupName,Type,OpBalance,AppearIn,"
              "Address,CreditDays,Phone,Fax,AccountGroupID,TargetAmt,Area) values(3,'O''Brien',"
              "'OB','Sundry Creditors','Cr',250,'BalanceSheet','2 Side St',0,'555''1',' T''1 ',"
              "13,0,'South')");
    l.address = "O'Hara Rd";
    EXPECT_NE(LedgerInsertStatement(l).Text().find(",'O''Hara Rd',"), std::string::npos)
        << "the address is held as it reads, and quoted by the statement";
}

TEST_F(LedgerStage, WritesLedgersWithTheirVouchersUnderRunningLids) {
    Ledgers({Ledger("Acme", "1,500.00", "Dr"), Ledger("Beta", "-250", "Dr"),
             Ledger("Gamma", "300", "cr", "Nowhere")});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LID, LName, LAliasName, GroupName, Type, OpBalance, AppearIn, Address, "
                   "CreditDays, Phone, Fax, AccountGroupID, TargetAmt, Area from tblLedger"),
              "1|Acme|AL|Customer|Dr|1500|BalanceSheet|1 Main St|0|555|TIN|10|0|North\n"
              "2|Beta|AL|Customer|Dr|250|BalanceSheet|1 Main St|0|555|TIN|10|0|North\n"
              "3|Gamma|AL|Nowhere|Cr|300|BalanceSheet|1 Main St|0|555|TIN|11|0|North\n");
    EXPECT_EQ(Vouchers(),
              "1|1|0|1|1500|0\n1|0|1|1|0|1500\n"
              "2|2|0|2|250|0\n2|0|2|2|0|250\n"
              "3|0|3|3|300|0\n3|3|0|3|0|300\n");
    EXPECT_EQ(Rows("select distinct TrType, TrDate, Narration from tblVoucher"),
              "Opening|2009-04-01|Opening Balance\n");
    EXPECT_EQ(form.gridTabs.Tab, 1);
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

struct SideCell {
    const char* name;
    const char* drcr;
    const char* type;     // "" when the row is refused
    const char* warning;  // the kind of the row's warning, "" for none
};

// Printed by name, so that test names and failure messages stay readable.
void PrintTo(const SideCell& p, std::ostream* os) {
    *os << p.name;
}

class DrCrCell : public LedgerStage, public ::testing::WithParamInterface<SideCell> {};

// Decided changes: the cell is read trimmed, in any case, with a trailing
// full stop ignored; a credit typed with a trailing blank is never a debit.
// D and C are sides; a blank cell takes the usual side of the account group
// (Sundry Debtors: Assets, a debit), with a warning; any other word refuses
// the row.
TEST_P(DrCrCell, IsReadTrimmedInAnyCaseWithoutItsFullStop) {
    Ledgers({Ledger("L", "10", GetParam().drcr)});
    RunLedgerStage(ctx);
    std::string type = GetParam().type;
    EXPECT_EQ(Rows("select Type from tblLedger"), type.empty() ? "" : type + "\n");
    ASSERT_EQ(tally.rows.size(), 1u);
    EXPECT_EQ(tally.rows[0].warnings.empty() ? "" : tally.rows[0].warnings[0].kind,
              GetParam().warning);
    EXPECT_EQ(tally.rows[0].outcome,
              type.empty() ? RunTally::Outcome::Failed : RunTally::Outcome::Written);
    EXPECT_TRUE(ops.Messages().empty()) << "a refused row asks nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Cells, DrCrCell,
    ::testing::Values(
        SideCell{"LowerCr", "cr", "Cr", ""}, SideCell{"MixedCr", "cR", "Cr", ""},
        SideCell{"CrWithBlank", "Cr ", "Cr", ""}, SideCell{"CrWithFullStop", "cr.", "Cr", ""},
        SideCell{"Credit", "Credit", "Cr", ""}, SideCell{"CreditUpper", " CREDIT", "Cr", ""},
        SideCell{"DrWithFullStop", "Dr.", "Dr", ""}, SideCell{"Debit", "Debit", "Dr", ""},
        SideCell{"D", "D", "Dr", ""}, SideCell{"C", "c.", "Cr", ""},
        SideCell{"Empty", "", "Dr", "side-from-group"}, SideCell{"Other", "Cx", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A word in the balance is no longer read as 0: the row is refused.
TEST_F(LedgerStage, ZeroOrEmptyBalancesPostNoVoucherAndAWordIsRefused) {
    Ledgers({Ledger("A", "0", "Dr"), Ledger("B", "", "Dr"), Ledger("C", "abc", "Cr")});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LID, OpBalance from tblLedger"), "1|0\n2|0\n");
    EXPECT_EQ(Vouchers(), "");
    EXPECT_EQ(tally.rows[2].errorFinding.kind, "not-a-number");
}

TEST_F(LedgerStage, QuotesInNamePhoneAndTinAreKept) {
    auto row = Ledger("O'Brien", "0", "Dr");
    row[4] = "555'01";
    row[5] = "TIN'2";
    Ledgers({row});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LName, Phone, Fax from tblLedger"), "O'Brien|555'01|TIN'2\n");
}

TEST_F(LedgerStage, BothRenamesIncludeLedgersThatWereThereBefore) {
    Exec(
        "insert into tblLedger (LID, LName, GroupName, AccountGroupID) values "
        "(1, 'Old creditor', 'Sundry Creditors', 13), (2, 'Old debtor', 'Sundry Debtors', 12), "
        "(3, 'Bank', 'Bank Accounts', 8)");
    Ledgers({Ledger("New creditor", "0", "Cr", "Sundry Creditors")});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LID, GroupName, AccountGroupID from tblLedger order by 1"),
              "1|Supplier|11\n2|Customer|10\n3|Bank Accounts|8\n4|Supplier|11\n");
}

// Decided change: a name an earlier row of the workbook has is an error on
// the later row (never "already in the company"), without a question.
TEST_F(LedgerStage, ANameRepeatedInTheWorkbookFailsTheLaterRowWithoutASecondBalance) {
    Ledgers({Ledger("Acme", "100", "Dr"), Ledger(" ACME", "640", "Dr"), Ledger("Beta", "5", "Cr")});
    RunLedgerStage(ctx);
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(Rows("select LID, LName from tblLedger"), "1|Acme\n3|Beta\n")
        << "the refused row still used up its LID";
    EXPECT_EQ(Rows("select count(*) from tblVoucher"), "4\n");
    EXPECT_EQ(tally.rows[1].outcome, RunTally::Outcome::Failed);
    EXPECT_EQ(tally.rows[1].error,
              "Ledger row 3, ACME: the same ledger name as worksheet row 2; the row is not "
              "migrated.");
}

TEST_F(LedgerStage, YesGoesOnNoStopsWithoutTheGroupUpdates) {
    Refuse("tblLedger", "new.LName = 'Bad'");
    Refuse("tblLedger", "new.LName = 'Bad too'");
    Ledgers({Ledger("Good", "10", "Dr"), Ledger("Bad", "20", "Dr"), Ledger("Later", "30", "Dr"),
             Ledger("Bad too", "40", "Dr"), Ledger("Never", "50", "Dr")});
    ops.QueueAnswer(MsgAnswer::Yes);
    ops.QueueAnswer(MsgAnswer::No);
    RunLedgerStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 3u);
    EXPECT_EQ(
        ops.Messages()[0].text,
        "Are you sure to Continue with next data\r\nLedger row 3, Bad: the company's database "
        "refused the record (refused by the test).")
        << "the question comes first, the description after it: the row, then why";
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(ops.Messages()[2].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Rows("select LID, LName, GroupName from tblLedger"),
              "1|Good|Sundry Debtors\n3|Later|Sundry Debtors\n")
        << "no group update after No; no voucher for the refused rows";
    EXPECT_EQ(Rows("select distinct DrLID from tblVoucher where DrLID <> 0 order by 1"), "1\n3\n");
}

TEST_F(LedgerStage, AnEmptyGridStillRunsBothUpdates) {
    Exec("insert into tblLedger (LID, LName, GroupName) values (1, 'Old', 'Sundry Debtors')");
    Ledgers({});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select GroupName, AccountGroupID from tblLedger"), "Customer|10\n");
}

// Decided change: a ledger whose balance is refused is not written at all;
// a ledger without its voucher would disagree with the books.
TEST_F(LedgerStage, ABalanceBeyondTheCurrencyRangeRefusesTheWholeRow) {
    Ledgers({Ledger("Huge", "1E16", "Dr"), Ledger("Next", "5", "Dr")});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunLedgerStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_NE(ops.Messages()[0].text.find("too large"), std::string::npos);
    EXPECT_EQ(Rows("select LID, LName from tblLedger"), "2|Next\n") << "Huge used up LID 1";
    EXPECT_EQ(Vouchers(), "1|2|0|2|5|0\n1|0|2|2|0|5\n");
    EXPECT_EQ(tally.rows[0].outcome, RunTally::Outcome::Failed);
}

// Without these passes the window did not repaint for the whole stage.
TEST_F(LedgerStage, LetsTheWindowProcessEventsOncePerRowAsTheRowsGoIn) {
    Ledgers({Ledger("Acme", "100", "Dr"), Ledger("Beta", "0", "Cr"), Ledger("Gamma", "5", "Dr")});
    std::vector<std::int64_t> seen;
    ops.SetDoEventsHook([&] {
        Recordset rs;  // on the stage's own connection: the rows are not committed yet
        rs.Open("select count(*) from tblLedger", companyConnection);
        seen.push_back(rs.Field(0).AsInteger());
    });
    RunLedgerStage(ctx);
    EXPECT_EQ(ops.DoEventsCount(), 3);
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 3})) << "each pass comes after its row is in";
}

TEST_F(LedgerStage, ReportsProgressAtItsStartAndAfterEveryRow) {
    Ledgers({Ledger("Acme", "100", "Dr"), Ledger("Beta", "0", "Cr")});
    RunLedgerStage(ctx);
    using Report = ScriptedWindowOps::ProgressReport;
    EXPECT_EQ(ops.ProgressReports(), (std::vector<Report>{{"Migrating ledgers", 0, 2},
                                                          {"Migrating ledgers", 1, 2},
                                                          {"Migrating ledgers", 2, 2}}));
}

}  // namespace
}  // namespace ledgerlift
