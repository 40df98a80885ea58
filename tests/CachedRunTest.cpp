#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// The whole job through the window's buttons, once with the statement cache
// and once with every statement prepared afresh: the company databases must
// come out the same, value for value, and so must everything the operator
// sees.

struct Scenario {
    const char* name;
    const char* workbook;  // under tests/fixtures, or the bundled sample
    bool second;           // a second run over the same database
    bool updateMode;       // the second run with "update items" ticked
};

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

struct Outcome {
    std::string dump;
    std::string status;
    std::vector<std::string> messages;
};

std::string WorkbookPath(const std::string& name) {
    if (name == "sample.xls") {
        return std::string(LEDGERLIFT_FIXTURES_DIR) + "/../../resources/demo/sample.xls";
    }
    return test::FixturePath(name);
}

Outcome RunWith(const Scenario& scenario, std::size_t cacheSize) {
    test::ProductFolder product;
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    ScriptedWindowOps ops;
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    MainForm form(product.Path(), ops);
    form.OnStart();
    form.migrationDate.Value = Date{2009, 4, 1};
    ops.QueueFile(WorkbookPath(scenario.workbook));
    form.OnLoad();
    form.companyConnection.SetStatementCacheSize(cacheSize);
    form.OnMigrate();
    if (scenario.second) {
        form.updateItemsBox.Value = scenario.updateMode ? 1 : 0;
        form.OnMigrate();
    }
    EXPECT_EQ(form.companyConnection.StatementCacheSize(), cacheSize);
    form.companyConnection.Close();
    form.companyConnection.SetStatementCacheSize(Connection::kDefaultStatementCache);
    Outcome out;
    out.dump = test::DumpDatabase(db);
    out.status = form.statusBox.Text;
    // Each run backs up its own company first, under a name of its time.
    const std::string backedUp = "Backed up the company database to ";
    for (std::size_t at = out.status.find(backedUp); at != std::string::npos;
         at = out.status.find(backedUp, at + 1)) {
        std::size_t from = at + backedUp.size();
        out.status.replace(from, out.status.find("\r\n", from) - from, "(the backup)");
    }
    for (const auto& m : ops.Messages()) {
        out.messages.push_back(m.text);
    }
    return out;
}

class CachedRun : public ::testing::TestWithParam<Scenario> {};

TEST_P(CachedRun, WritesTheSameDatabaseAsStatementsPreparedAfresh) {
    Outcome fresh = RunWith(GetParam(), 0);
    Outcome cached = RunWith(GetParam(), Connection::kDefaultStatementCache);
    EXPECT_EQ(cached.dump, fresh.dump);
    EXPECT_EQ(cached.status, fresh.status);
    EXPECT_EQ(cached.messages, fresh.messages);
    EXPECT_NE(fresh.dump.find("-- tblItemMaster\n"), std::string::npos);
    EXPECT_EQ(fresh.messages.back(), "Migration Completed");
    if (GetParam().updateMode) {
        std::string items = fresh.status.substr(fresh.status.rfind("Summary: items"));
        EXPECT_EQ(items.find(" 0 updated"), std::string::npos)
            << "the second run replaced the items: " << items.substr(0, items.find('\r'));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Workbooks, CachedRun,
    ::testing::Values(Scenario{"FirstRun", "sample.xls", false, false},
                      Scenario{"ReRun", "sample.xls", true, false},
                      Scenario{"UpdateModeRun", "sample.xls", true, true},
                      Scenario{"MixedCellsFirstRun", "real_mixed.xls", false, false},
                      Scenario{"MixedCellsUpdateModeRun", "real_mixed.xls", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
