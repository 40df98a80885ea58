#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/GridLayouts.h"
#include "migration/Postings.h"
#include "migration/RunTally.h"
#include "migration/StageContext.h"
#include "tests/TestSupport.h"
#include "ui/FormControls.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift::test {

// Fills grid as the import leaves it: the header of format, one row per
// element of rows (column 0 its worksheet row, from 2; then the cells, as
// many as the grid has columns), and one empty row.
inline void FillAsImported(Grid& grid, const char* format, int cols,
                           const std::vector<std::vector<std::string>>& rows) {
    grid.SetFormatString(format);
    grid.SetRows(1);
    grid.SetRows(2);
    grid.SetCols(cols);
    int sheetRow = 2;
    for (const auto& row : rows) {
        int g = grid.Rows() - 1;
        grid.SetTextMatrix(g, 0, std::to_string(sheetRow++));
        for (std::size_t c = 0; c < row.size() && static_cast<int>(c) + 1 < cols; ++c) {
            grid.SetTextMatrix(g, static_cast<int>(c) + 1, row[c]);
        }
        grid.AddItem("");
    }
}

// A demo company database open as companyConnection (the connection the stages are
// given), and the window's controls with grids filled as the import leaves
// them: the header, the rows, one empty row. ctx is what a stage runs with.
class MigrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = product.AddCompany("DEMO", "C01", "DEMO");
        companyConnection.Close();
        companyConnection.Open(ConnectionStringFor(db));
        form.migrationDate.Value = Date{2009, 4, 1};
    }
    void TearDown() override { companyConnection.Close(); }

    // Item rows: code, name, category, manufacturer, QOH, purchase rate,
    // wholesale, MRP, sales VAT, CST, purchase VAT, inclusive sales,
    // inclusive purchase, unit, description, ROL (missing cells are empty).
    void Items(const std::vector<std::vector<std::string>>& rows) {
        FillAsImported(form.itemGrid, kItemFormat, kItemCols, rows);
    }
    // Ledger rows: alias, name, group, address, phone, TIN, opening balance,
    // DrCr, area.
    void Ledgers(const std::vector<std::vector<std::string>>& rows) {
        FillAsImported(form.ledgerGrid, kLedgerFormat, kLedgerCols, rows);
    }
    // A plain item row with the given code, name, category and QOH.
    static std::vector<std::string> Item(const std::string& code, const std::string& category,
                                         const std::string& qoh = "0") {
        return {code, "Name " + code, category, "Acme", qoh, "18", "20", "25", "12.5", "2",
                "4",  "NO",           "NO",     "Nos",  "",  "10"};
    }

    std::string Rows(const std::string& sql) const { return QueryRows(db, sql); }
    void Exec(const std::string& sql) { companyConnection.Execute(sql); }
    // A rule that refuses inserts into table when condition holds.
    void Refuse(const std::string& table, const std::string& condition,
                const std::string& message = "refused by the test") {
        Exec("create trigger refuse_" + std::to_string(++triggers) + " before insert on " + table +
             " when " + condition + " begin select raise(abort, '" + message + "'); end");
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : ops.Messages()) {
            texts.push_back(m.text);
        }
        return texts;
    }

    ProductFolder product;
    std::string db;
    Connection companyConnection;
    ScriptedWindowOps ops;
    FormControls form;
    RunTally tally;
    StageContext ctx{form, ops, tally, companyConnection};
    int triggers = 0;
};

}  // namespace ledgerlift::test
