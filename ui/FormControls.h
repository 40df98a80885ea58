#pragma once

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Grid.h"
#include "ui/StopRequest.h"

namespace ledgerlift {

// The window's controls as plain state, under the names the window gives
// them. The import and the stages work on these; the window's event
// procedures and its view build on them.
struct FormControls {
    FormControls();

    std::string Caption = "Excel Data Migration  to Tallvane Vexa";
    Frame migrationFrame;
    CommandButton migrateButton{"Start Migration"};
    // Beside "Start Migration": predicts the run without writing.
    CommandButton checkButton{"Check Data"};
    ComboBox companyList;
    CheckBox updateItemsBox{"Update Existing Items", 0};
    // Beside it: an opening balance that is negative and says neither Dr nor
    // Cr is a credit (and a positive one a debit), instead of an error.
    CheckBox negativeIsCreditBox{"Negative balances are credits", 0};
    // Beside them: an item or ledger the company already holds whose opening
    // stock or balance differs from the workbook's has it replaced (only the
    // migration's own opening is ever removed).
    CheckBox replaceOpeningsBox{"Replace Opening Balances", 0};
    DatePicker migrationDate;
    Label companyLabel{"Select Tallvane Company:"};
    CommonDialog fileDialog;
    TextBox statusBox;
    CommandButton closeButton{"Close"};
    CommandButton loadButton{"Load Excel Data"};
    TabControl gridTabs;
    Grid itemGrid{"the item grid"};
    Grid ledgerGrid{"the ledger grid"};
    Grid groupGrid{"the account group grid"};
    Label stepTwoLabel{"Step II"};
    Label stepOneLabel{"Step 1"};
    Label webAddressLabel;
    Label noticeLabel;
    // Beside Step II: puts a backup of the chosen company back.
    CommandButton restoreButton{"Restore Backup..."};
    // Enabled after a run that left rows needing attention: saves them as a
    // workbook to fix and load again.
    CommandButton saveFailedRowsButton{"Save Failed Rows...", false};
    // Beside "Save Report...": the chosen company's opening statement, once
    // it has been migrated.
    CommandButton saveOpeningStatementButton{"Save Statement...", false};

    // True while the grids hold a successfully imported workbook.
    bool workbookLoaded = false;
    // Worksheet rows below row 65000 that the last import did not read.
    int itemRowsNotRead = 0;
    int ledgerRowsNotRead = 0;
    // Worksheet row 1 of each sheet as last loaded (the column headings):
    // element 0 is empty, elements 1 to the last column read hold the texts.
    std::vector<std::string> itemHeaderRow;
    std::vector<std::string> ledgerHeaderRow;
    // What the last load says of each sheet: which sheet was taken as what,
    // which column feeds which field, the rows read and skipped. The window
    // shows them under the workbook's name.
    std::vector<std::string> loadLines;
    // Sheet-wide warnings of the last load (headings not recognised, ...),
    // which a check repeats.
    std::vector<std::string> loadWarnings;
    // Set by the view while a run goes on; read by the stages after each row.
    StopRequest stop;

    // Empties the item and ledger grids (their column captions stay) and gives
    // their tabs the captions they start with: what a load that failed
    // leaves, so that no rows of an earlier workbook are shown as if they
    // were loaded.
    void ClearWorkbookGrids();
};

// The introduction text that the status box starts with.
extern const char* const kIntroduction;

}  // namespace ledgerlift
