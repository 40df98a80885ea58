#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "window/Form1.h"

namespace ledgerlift {
namespace {

TEST(Startup, TheWindowStartsWithItsCaptionsAndIntroduction) {
    ScriptedWindowOps ops;
    Form1 form("/nowhere", ops);
    EXPECT_EQ(form.Caption, "Excel Data Migration  to Tallvane Vexa");
    EXPECT_EQ(form.SSTab1.TabCaption[0], "Item            ");
    EXPECT_EQ(form.SSTab1.TabCaption[1], "Ledger            ");
    EXPECT_EQ(form.SSTab1.TabCaption[2], "Account Group");
    EXPECT_EQ(form.chkUpdateItems.Caption, "Update Existing Items");
    EXPECT_EQ(form.chkUpdateItems.Value, 0);
    EXPECT_EQ(form.Label1.Caption, "Select Tallvane Company:");
    EXPECT_EQ(form.Label2.Caption, "Step 1");
    EXPECT_EQ(form.Label5.Caption, "Step II");
    EXPECT_EQ(form.cmdLoad.Caption, "Load Excel Data");
    EXPECT_EQ(form.cmdMigrate.Caption, "Start Migration");
    EXPECT_EQ(form.cmdClose.Caption, "Close");
    EXPECT_EQ(form.txtStatus.Text.substr(0, 34), "This is a migration tool used to i");
    EXPECT_EQ(form.txtStatus.Text.substr(form.txtStatus.Text.size() - 4), ". \r\n");
    EXPECT_FALSE(form.blnExcelLoaded);
    EXPECT_EQ(form.msf3.Cols(), 3);
    EXPECT_EQ(form.msf3.TextMatrix(0, 1), "Primary Group");
    EXPECT_EQ(form.msf1.Cols(), 14);
    EXPECT_EQ(form.msf2.Cols(), 10);
    EXPECT_EQ(form.msf2.TextMatrix(0, 4), "Address\t    ");
}

TEST(Startup, ListsCompaniesInOrderAndSelectsTheLast) {
    test::ProductFolder product;
    product.AddCompany("A", "C01", "A");
    product.AddCompany("B", "C02", "B");
    product.AddCompany("C", "C03", "C");
    ScriptedWindowOps ops;
    Form1 form(product.Path(), ops);
    form.dtpDate.Value = Date{2001, 1, 1};
    form.Form_Load();
    ASSERT_EQ(form.txtCompanyName.ListCount(), 3);
    EXPECT_EQ(form.txtCompanyName.List(0), "A");
    EXPECT_EQ(form.txtCompanyName.List(2), "C");
    EXPECT_EQ(form.txtCompanyName.Text(), "C");
    EXPECT_EQ(form.dtpDate.Value, Date::Today()) << "the date is today's at every start";
    EXPECT_EQ(form.msf1.Rows(), 1);
    EXPECT_EQ(form.msf1.ColWidth(3), 1750);
    EXPECT_EQ(form.msf2.ColWidth(6), 2250);
    EXPECT_EQ(form.SSTab1.Tab, 0);
    EXPECT_TRUE(ops.Messages().empty());
}

TEST(Startup, AnEmptyCompanyTableLeavesTheListEmptyWithoutAMessage) {
    test::ProductFolder product;
    ScriptedWindowOps ops;
    Form1 form(product.Path(), ops);
    form.Form_Load();
    EXPECT_EQ(form.txtCompanyName.ListCount(), 0);
    EXPECT_EQ(form.txtCompanyName.Text(), "");
    EXPECT_TRUE(ops.Messages().empty());
}

TEST(Startup, AMissingInitialDatabaseGivesOneExclamationAndTheWindowStillOpens) {
    test::TempFolder empty;
    ScriptedWindowOps ops;
    Form1 form(empty.Path(), ops);
    form.Form_Load();
    ASSERT_EQ(ops.Messages().size(), 1u);
    const auto& m = ops.Messages()[0];
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.buttons, MsgButtons::OK);
    EXPECT_EQ(m.caption, "Ledgerlift");
    EXPECT_NE(m.text.find(empty.Path() + "/Resources/Database/TallvaneInitial.mdb"),
              std::string::npos)
        << m.text;
    EXPECT_EQ(form.msf1.Rows(), 1);
    EXPECT_EQ(form.msf3.Rows(), 1);
    EXPECT_EQ(form.dtpDate.Value, Date::Today());
}

TEST(Startup, CloseUnloadsTheWindow) {
    ScriptedWindowOps ops;
    Form1 form("/nowhere", ops);
    form.cmdClose_Click();
    EXPECT_TRUE(ops.Unloaded());
    EXPECT_TRUE(ops.Messages().empty());
}

}  // namespace
}  // namespace ledgerlift
