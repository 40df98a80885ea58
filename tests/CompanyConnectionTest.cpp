#include <gtest/gtest.h>

#include "data/Recordset.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

class CompanyConnection : public ::testing::Test {
  protected:
    void TearDown() override { companyConnection.Close(); }
    test::ProductFolder product;
    ScriptedWindowOps ops;
    Connection companyConnection;
};

TEST_F(CompanyConnection, BuildsThePathFromFolderAndFileNameKeepingTheirCase) {
    std::string db = product.AddCompany("SHOP", "C01", "shop");
    EXPECT_TRUE(ConnectCompany(companyConnection, product.Path(), "SHOP", ops));
    EXPECT_TRUE(companyConnection.IsOpen());
    EXPECT_EQ(companyConnection.Path(), product.Path() + "/Resources/Database/C01/shop.mdb");
    EXPECT_TRUE(ops.Messages().empty());
    Recordset rs;
    rs.Open("pragma journal_mode", companyConnection);
    EXPECT_EQ(rs.Field(0), Value("wal")) << "commits that cost no disk flush";
}

TEST_F(CompanyConnection, ConnectionStringsKeepTheProductsForm) {
    EXPECT_EQ(InitialConnectionString("/opt/ll"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/ll/Resources/Database/"
              "TallvaneInitial.mdb;Persist Security Info=False;Jet OLEDB:Database "
              "Password=ZORVATH582");
    EXPECT_EQ(CompanyConnectionString("/opt/ll", "C01/SHOP"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/ll/Resources/Database/C01/"
              "SHOP.mdb;Persist Security Info=False;Jet OLEDB:Database Password=ZORVATH582");
}

TEST_F(CompanyConnection, ACodeWithAQuoteFindsItsRow) {
    product.AddCompany("O'HARA", "C07", "OHARA");
    EXPECT_TRUE(ConnectCompany(companyConnection, product.Path(), "O'HARA", ops));
    EXPECT_EQ(companyConnection.Path(), product.CompanyDb("C07", "OHARA"));
}

TEST_F(CompanyConnection, AnUnknownCodeGivesOneCriticalMessageAndLeavesItClosed) {
    product.AddCompany("A", "C01", "A");
    ASSERT_TRUE(ConnectCompany(companyConnection, product.Path(), "A", ops));
    EXPECT_FALSE(ConnectCompany(companyConnection, product.Path(), "ZZZ", ops));
    EXPECT_FALSE(companyConnection.IsOpen()) << "never left open on the company of an earlier run";
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_NE(ops.Messages()[0].text.find("ZZZ"), std::string::npos);
}

TEST_F(CompanyConnection, AMissingCompanyFileNamesItsPath) {
    product.AddCompany("A", "C01", "A", /*createDatabase=*/false);
    EXPECT_FALSE(ConnectCompany(companyConnection, product.Path(), "A", ops));
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_NE(ops.Messages()[0].text.find(product.CompanyDb("C01", "A")), std::string::npos);
}

TEST_F(CompanyConnection, ASecondRunClosesTheFirstCompany) {
    product.AddCompany("A", "C01", "A");
    product.AddCompany("B", "C02", "B");
    ASSERT_TRUE(ConnectCompany(companyConnection, product.Path(), "A", ops));
    ASSERT_TRUE(ConnectCompany(companyConnection, product.Path(), "B", ops));
    EXPECT_EQ(companyConnection.Path(), product.CompanyDb("C02", "B"));
}

TEST_F(CompanyConnection, TallvaneFileNameUsesItsFolderLikeAnyOther) {
    product.AddCompany("MAIN", "C09", "Tallvane");
    EXPECT_TRUE(ConnectCompany(companyConnection, product.Path(), "MAIN", ops));
    EXPECT_EQ(companyConnection.Path(), product.CompanyDb("C09", "Tallvane"));
}

TEST_F(CompanyConnection, FormReadsTheChosenCompany) {
    product.AddCompany("A", "C01", "A");
    product.AddCompany("B", "C02", "B");
    MainForm form(product.Path(), ops);
    form.OnStart();
    form.companyList.SetListIndex(0);
    EXPECT_TRUE(
        ConnectCompany(form.companyConnection, form.ProductFolder(), form.companyList.Text(), ops));
    EXPECT_EQ(form.companyConnection.Path(), product.CompanyDb("C01", "A"));
}

}  // namespace
}  // namespace ledgerlift
