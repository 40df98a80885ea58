#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/Date.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "window/MainForm.h"

namespace ledgerlift::test {

// The window's procedures over scripted window operations, started on a
// product folder that holds the company DEMO, with the migration date
// 1 April 2009.
class DemoCompanyForm : public ::testing::Test {
  protected:
    void SetUp() override {
        db = product.AddCompany("DEMO", "C01", "DEMO");
        form.OnStart();
        form.migrationDate.Value = Date{2009, 4, 1};
    }
    void TearDown() override { form.companyConnection.Close(); }
    // "Load" on a workbook of the fixtures; the messages of the load are
    // forgotten.
    void Load(const std::string& fixture) {
        ops.QueueFile(FixturePath(fixture));
        form.OnLoad();
        ops.ClearMessages();
    }

    ProductFolder product;
    std::string db;  // DEMO's database
    ScriptedWindowOps ops;
    MainForm form{product.Path(), ops};
};

}  // namespace ledgerlift::test
