#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

TEST(Startup, TheWindowStartsWithItsCaptionsAndIntroduction) {
    ScriptedWindowOps ops;
    MainForm form("/nowhere", ops);
    EXPECT_EQ(form.Caption, "Excel Data Migration  to Tallvane Vexa");
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Item            ");
    EXPECT_EQ(form.gridTabs.TabCaption[1], "Ledger            ");
    EXPECT_EQ(form.gridTabs.TabCaption[2], "Account Group");
    EXPECT_EQ(form.updateItemsBox.Caption, "Update Existing Items");
    EXPECT_EQ(form.updateItemsBox.Value, 0);
    EXPECT_EQ(form.companyLabel.Caption, "Select Tallvane Company:");
    EXPECT_EQ(form.stepOneLabel.Caption, "Step 1");
    EXPECT_EQ(form.stepTwoLabel.Caption, "Step II");
    EXPECT_EQ(form.loadButton.Caption, "Load Excel Data");
    EXPECT_EQ(form.migrateButton.Caption, "Start Migration");
    EXPECT_EQ(form.closeButton.Caption, "Close");
    EXPECT_EQ(form.statusBox.Text.substr(0, 34), "This is a migration tool used to i");
    EXPECT_EQ(form.statusBox.Text.substr(form.statusBox.Text.size() - 4), ". \r\n");
    EXPECT_FALSE(form.workbookLoaded);
    EXPECT_EQ(form.groupGrid.Cols(), 3);
    EXPECT_EQ(form.groupGrid.TextMatrix(0, 1), "Primary Group");
    EXPECT_EQ(form.itemGrid.Cols(), 14);
    EXPECT_EQ(form.ledgerGrid.Cols(), 10);
    EXPECT_EQ(form.ledgerGrid.TextMatrix(0, 4), "Address\t    ");
}

TEST(Startup, ListsCompaniesInOrderAndSelectsTheLast) {
    test::ProductFolder product;
    product.AddCompany("A", "C01", "A");
    product.AddCompany("B", "C02", "B");
    product.AddCompany("C", "C03", "C");
    ScriptedWindowOps ops;
    MainForm form(product.Path(), ops);
    form.migrationDate.Value = Date{2001, 1, 1};
    form.OnStart();
    ASSERT_EQ(form.companyList.ListCount(), 3);
    EXPECT_EQ(form.companyList.List(0), "A");
    EXPECT_EQ(form.companyList.List(2), "C");
    EXPECT_EQ(form.companyList.Text(), "C");
    EXPECT_EQ(form.migrationDate.Value, Date::Today()) << "the date is today's at every start";
    EXPECT_EQ(form.itemGrid.Rows(), 1);
    EXPECT_EQ(form.itemGrid.ColWidth(3), 1750);
    EXPECT_EQ(form.ledgerGrid.ColWidth(6), 2250);
    EXPECT_EQ(form.gridTabs.Tab, 0);
    EXPECT_TRUE(ops.Messages().empty());
}

TEST(Startup, AnEmptyCompanyTableLeavesTheListEmptyWithoutAMessage) {
    test::ProductFolder product;
    ScriptedWindowOps ops;
    MainForm form(product.Path(), ops);
    form.OnStart();
    EXPECT_EQ(form.companyList.ListCount(), 0);
    EXPECT_EQ(form.companyList.Text(), "");
    EXPECT_TRUE(ops.Messages().empty());
}

TEST(Startup, AMissingInitialDatabaseGivesOneExclamationAndTheWindowStillOpens) {
    test::TempFolder empty;
    ScriptedWindowOps ops;
    MainForm form(empty.Path(), ops);
    form.OnStart();
    ASSERT_EQ(ops.Messages().size(), 1u);
    const auto& m = ops.Messages()[0];
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.buttons, MsgButtons::OK);
    EXPECT_EQ(m.caption, "Ledgerlift");
    EXPECT_NE(m.text.find(empty.Path() + "/Resources/Database/TallvaneInitial.mdb"),
              std::string::npos)
        << m.text;
    EXPECT_EQ(form.itemGrid.Rows(), 1);
    EXPECT_EQ(form.groupGrid.Rows(), 1);
    EXPECT_EQ(form.migrationDate.Value, Date::Today());
}

TEST(Startup, CloseUnloadsTheWindow) {
    ScriptedWindowOps ops;
    MainForm form("/nowhere", ops);
    form.OnClose();
    EXPECT_TRUE(ops.Unloaded());
    EXPECT_TRUE(ops.Messages().empty());
}

}  // namespace
}  // namespace ledgerlift
