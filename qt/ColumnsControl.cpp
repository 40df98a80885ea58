#include "qt/ColumnsControl.h"

#include <QPushButton>
#include <stdexcept>

#include "qt/ColumnsDialog.h"
#include "window/MainForm.h"

namespace ledgerlift {

ColumnsControl::ColumnsControl(MainForm& form, Runner run, QWidget* parent)
    : QObject(parent), form_(form), run_(std::move(run)), parent_(parent) {
    columns_ = new QPushButton("Col&umns...");
    columns_->setAccessibleName("Columns...");
    columns_->setToolTip(
        "Choose which sheet holds the items and which the ledgers, and which column feeds each "
        "field; the choice is used again for workbooks with the same sheets and headings");
    columns_->setEnabled(false);
    saveTemplate_ = new QPushButton("Sa&ve Template...");
    saveTemplate_->setAccessibleName("Save Template...");
    saveTemplate_->setToolTip(
        "Save a workbook to fill in, laid out as the load reads it, with a note on each column "
        "and the chosen company's categories and account groups in its lists");
    connect(columns_, &QPushButton::clicked, this, [this] { Open(); });
    connect(saveTemplate_, &QPushButton::clicked, this,
            [this] { run_([this] { form_.OnSaveTemplate(); }); });
}

void ColumnsControl::AfterLoad() {
    if (form_.ColumnsWanted()) {
        Open();
    }
}

void ColumnsControl::Sync(bool busy) {
    columns_->setEnabled(!busy && (form_.workbookLoaded || form_.ColumnsWanted()));
    saveTemplate_->setEnabled(!busy);
}

void ColumnsControl::Open() {
    WorkbookColumns workbook;
    try {
        workbook = form_.WorkbookColumnsToChoose();
    } catch (const std::exception& error) {
        form_.Ops().MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation, "Columns");
        return;
    }
    ColumnsDialog dialog(workbook, form_.Columns().Remembered(), parent_);
    connect(&dialog, &ColumnsDialog::forgetRequested, &dialog, [this, &dialog] {
        form_.ForgetColumns();
        dialog.SetRemembered(form_.Columns().Remembered());
    });
    if (dialog.exec() == QDialog::Accepted) {
        ColumnChoice choice = dialog.Choice();
        run_([this, &choice] { form_.LoadWithColumns(choice); });
    }
}

}  // namespace ledgerlift
