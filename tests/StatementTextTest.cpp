#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "migration/Lookups.h"
#include "migration/Postings.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

// The statements as they go over companyConnection, character for character.
class StatementText : public test::MigrationTest {
  protected:
    void SetUp() override {
        MigrationTest::SetUp();
        companyConnection.SetTracer([this](const std::string& s) {
            if (s.rfind("savepoint", 0) != 0 && s.rfind("release", 0) != 0 &&
                s.rfind("rollback", 0) != 0) {
                sent.push_back(s);
            }
        });
    }
    void TearDown() override {
        companyConnection.SetTracer(nullptr);
        MigrationTest::TearDown();
    }
    std::vector<std::string> sent;
};

TEST_F(StatementText, LookupsAndIds) {
    GetNextId(companyConnection, "tblLedger", "LID", "", ops);
    GetNextId(companyConnection, "tblLedger", "LID", "LID > 2", ops);
    GetTableValue(companyConnection, "tblItemMaster", "Discount", " where ItemID=5", ops);
    GetTableValue(companyConnection, "tblItemMaster", "Discount", "", ops);
    GetItemIdByCode(companyConnection, " O'Neil ", ops);
    GetAccountGroupId(companyConnection, "Sundry Creditors", ops);
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "Select max(LID) + 1 as MAxid from tblLedger",
                        "Select max(LID) + 1 as MAxid from tblLedger where LID > 2",
                        "Select Discount as Field1 from tblItemMaster  where ItemID=5",
                        "Select Discount as Field1 from tblItemMaster ",
                        "Select ItemID from tblItemMaster where ItemCode='O''Neil'",
                        "Select AccountgroupID from tblAccountgroup where AccountGroup='Sundry "
                        "Creditors'",
                    }));
}

TEST_F(StatementText, CategoriesPerRow) {
    Items({Item("A1", " O'Brien ")});
    RunCategoryStage(ctx);
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "select max(CategoryID) from tblCategories",
                        "select * from tblCategories where Category='O''Brien'",
                        "insert into tblCategories (Categoryid,Category) values(1,'O''Brien')",
                    }));
}

TEST_F(StatementText, AnExistingItemInUpdateMode) {
    Exec("insert into tblCategories values (3, 'Soap')");
    Exec("insert into tblItemMaster (ItemID, ItemCode, Discount) values (40, 'A1', 0)");
    form.updateItemsBox.Value = 1;
    Items({Item("A1", "Soap", "9")});
    sent.clear();
    RunItemStage(ctx);
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0], "Select max(ItemID) + 1 as MAxid from tblItemMaster");
    EXPECT_EQ(sent[1], "select categoryid from tblCategories where Category='Soap'");
    EXPECT_EQ(sent[2], "Select ItemID from tblItemMaster where ItemCode='A1'");
    EXPECT_EQ(sent[3], "Select Discount as Field1 from tblItemMaster  where ItemID=40");
    EXPECT_EQ(sent[4], "Delete from tblItemMaster WHERE ItemID=40");
    EXPECT_EQ(sent[5].substr(sent[5].find("values")),
              "values(40,'A1','Name A1',0,'<None>','<None>',3,'Nos',25,10,'RACK','',20,12.5,2,18,"
              "0,'Acme',0,0,0,4,0,'','STOCK ITEM',0,1,0)");
}

TEST_F(StatementText, ALedgerWithItsVoucher) {
    Ledgers({{"AL", "O'Brien", "Sundry Creditors", " 2 Side St ", "555", "T1", "250.5", "CR",
              " South "}});
    RunLedgerStage(ctx);
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "Select max(LID) + 1 as MAxid from tblLedger",
                        "Select AccountgroupID from tblAccountgroup where AccountGroup='Sundry "
                        "Creditors'",
                        "select LName from tblLedger where LID < 1",
                        "insert into tblledger (LID,LName,LAliasName,GroupName,Type,OpBalance,"
                        "AppearIn,Address,CreditDays,Phone,Fax,AccountGroupID,TargetAmt,Area) "
                        "values(1,'O''Brien','AL','Sundry Creditors','Cr',250.5,'BalanceSheet',"
                        "'2 Side St',0,'555','T1',13,0,'South')",
                        "select max(trid)+1 as id from tblvoucher where trtype='Opening'",
                        "select max(Mainid)+1 as id from tblvoucher ",
                        "insert into  tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,"
                        "Particulars,Narration,AmountD,AmountC,USerNarration,SortOrder,Optional)"
                        "values(1,1,'Opening','2009-04-01',0,1,'1','Opening Balance',250.5,0,'',"
                        "0,0)",
                        "insert into tblvoucher (MainID,TrID,TrType,TrDate,DrLID,CrLID,"
                        "Particulars,Narration,AmountD,AmountC,USerNarration,SortOrder,Optional) "
                        "values(1,1,'Opening','2009-04-01',1,0,'1','Opening Balance',0,250.5,'',"
                        "0,0)",
                        "update tblledger set groupname='Supplier',AccountGroupID=11 where "
                        "groupname='Sundry Creditors'",
                        "update tblledger set groupname='Customer',AccountGroupID=10 where "
                        "groupname='Sundry Debtors'",
                    }));
}

}  // namespace
}  // namespace ledgerlift
