#include "cli/CommandSession.h"

#include <cstdio>

#include "import/OpenWorkbook.h"
#include "load/LoadWorkbook.h"
#include "usecases/StartWindow.h"

namespace ledgerlift {
namespace {

void SelectCompany(ComboBox& combo, const std::string& code) {
    for (int i = 0; i < combo.ListCount(); ++i) {
        if (combo.List(i) == code) {
            combo.SetListIndex(i);
            return;
        }
    }
    // Not listed: the connection step names it in its message.
    combo.AddItem(code);
    combo.SetListIndex(combo.NewIndex());
}

}  // namespace

std::optional<Date> MigrationDateOption(const std::string& option) {
    Date date = Date::Today();
    if (!option.empty() && !Date::FromIso(option, date)) {
        std::fprintf(stderr, "error: the date %s is not a date of the form YYYY-MM-DD.\n",
                     option.c_str());
        return std::nullopt;
    }
    return date;
}

bool CommandSession::Load(const std::string& workbook, const Date& date, bool updateItems,
                          const std::string& company, bool sayWhatWasRead) {
    StartWindow(controls, productFolder_, ops_);
    controls.migrationDate.Value = date;
    controls.updateItemsBox.Value = updateItems ? 1 : 0;
    SelectCompany(controls.companyList, company);
    return LoadFile(workbook, sayWhatWasRead);
}

bool CommandSession::LoadFile(const std::string& workbook, bool sayWhatWasRead) {
    ops_.QueueFile(workbook);
    ops_.HoldMessages();
    AnyWorkbookReader reader;
    LoadWorkbook(controls, ops_, reader, columns);
    ops_.EndProgress();
    ops_.ReleaseMessages(!controls.workbookLoaded);
    if (controls.workbookLoaded && sayWhatWasRead) {
        for (const std::string& line : controls.loadLines) {
            std::fprintf(stderr, "information: %s\n", line.c_str());
        }
    }
    return controls.workbookLoaded;
}

}  // namespace ledgerlift
