#include "qt/RunControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/AccessKeyButton.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

void BuildButtons(RunControls& c, const MainForm& form) {
    c.migrate = AccessKeyButton(form.migrateButton.Caption, "&Start Migration");
    c.check = AccessKeyButton(form.checkButton.Caption, "&Check Data");
    c.check->setToolTip("Predict what Start Migration would do, without writing anything");
    c.close = AccessKeyButton(form.closeButton.Caption, "Cl&ose");
    c.saveReport = AccessKeyButton("Save Report...", "Save &Report...");
    c.saveReport->setToolTip(
        "Save the last migration's rows, each with its outcome and reason, as a CSV file");
    c.saveOpeningStatement =
        AccessKeyButton(form.saveOpeningStatementButton.Caption, "Save Stat&ement...");
    c.saveOpeningStatement->setToolTip(
        "Save the chosen company's opening position, as its database holds it after the "
        "migration, as a PDF or a web page");
    c.restore = AccessKeyButton(form.restoreButton.Caption, "Restore &Backup...");
    c.restore->setToolTip("Put one of the company's backups back in the place of its database");
    c.saveFailedRows = AccessKeyButton(form.saveFailedRowsButton.Caption, "Save &Failed Rows...");
    c.saveFailedRows->setToolTip(
        "Save the rows that did not go in, or have problems, as a workbook to fix and load again");
}

void BuildInputs(RunControls& c, const MainForm& form) {
    c.company = new QComboBox;
    c.company->setAccessibleName("Tallvane company");
    c.update = new QCheckBox("Update E&xisting Items");
    c.update->setAccessibleName(QString::fromStdString(form.updateItemsBox.Caption));
    c.negativeIsCredit = new QCheckBox("&Negative balances are credits");
    c.negativeIsCredit->setAccessibleName(QString::fromStdString(form.negativeIsCreditBox.Caption));
    c.negativeIsCredit->setToolTip(
        "An opening balance that is negative and says neither Dr nor Cr is a credit (and a "
        "positive one a debit); without this, such a negative balance is an error");
    c.replaceOpenings = new QCheckBox("Replace &Opening Balances");
    c.replaceOpenings->setAccessibleName(QString::fromStdString(form.replaceOpeningsBox.Caption));
    c.replaceOpenings->setToolTip(
        "Where the company already holds an item or ledger with another opening stock or "
        "balance than the workbook's, replace the opening this program posted with the "
        "workbook's; without this, such rows are left as they are and named");
    c.date = new QDateEdit;
    c.date->setCalendarPopup(true);
    c.date->setDisplayFormat("yyyy-MM-dd");
    c.date->setAccessibleName("Migration date");
}

// The frame of Step II: the company, the migration date, the update modes and
// the two buttons that start a run or a check.
void BuildFrame(RunControls& c, const MainForm& form) {
    auto* companyLabel = new QLabel("Select Tallvane Co&mpany:");
    companyLabel->setAccessibleName(QString::fromStdString(form.companyLabel.Caption));
    companyLabel->setBuddy(c.company);
    auto* dateLabel = new QLabel("Migration &date:");
    dateLabel->setAccessibleName("Migration date:");
    dateLabel->setBuddy(c.date);

    c.frame = new QFrame;
    c.frame->setFrameShape(QFrame::StyledPanel);
    c.frame->setAccessibleName("Migration");
    c.frame->setMinimumWidth(360);
    auto* frameLayout = new QVBoxLayout(c.frame);
    frameLayout->addWidget(companyLabel);
    frameLayout->addWidget(c.company);
    frameLayout->addWidget(dateLabel);
    frameLayout->addWidget(c.date);
    auto* updateModes = new QHBoxLayout;
    updateModes->addWidget(c.update);
    updateModes->addWidget(c.replaceOpenings);
    updateModes->addStretch(1);
    frameLayout->addLayout(updateModes);
    frameLayout->addWidget(c.negativeIsCredit);
    auto* runButtons = new QHBoxLayout;
    runButtons->addWidget(c.migrate, 1);
    runButtons->addWidget(c.check);
    frameLayout->addLayout(runButtons);
}

}  // namespace

RunControls BuildRunControls(const MainForm& form) {
    RunControls c;
    BuildButtons(c, form);
    BuildInputs(c, form);
    BuildFrame(c, form);
    // Beside Step II: undoing a run, and the rows a run left to fix.
    auto* afterRun = new QHBoxLayout;
    afterRun->addWidget(c.restore);
    afterRun->addWidget(c.saveFailedRows);
    c.afterRun = afterRun;
    auto* endButtons = new QHBoxLayout;
    endButtons->addWidget(c.saveReport);
    endButtons->addWidget(c.saveOpeningStatement);
    endButtons->addWidget(c.close, 1);
    c.endButtons = endButtons;
    return c;
}

RunControlsBinder::RunControlsBinder(const RunControls& controls, MainForm& form, AreaHost& host,
                                     QWidget* window)
    : QObject(window), controls_(controls), form_(form), host_(host), window_(window) {
    ConnectButtons();
    ConnectInputs();
}

void RunControlsBinder::ConnectButtons() {
    using After = AreaHost::After;
    auto run = [this](QPushButton* button, void (MainForm::*procedure)(), bool stoppable,
                      After after) {
        connect(button, &QPushButton::clicked, this, [this, procedure, stoppable, after] {
            host_.Run([this, procedure] { (form_.*procedure)(); }, stoppable, after);
        });
    };
    run(controls_.check, &MainForm::OnCheck, true, After::Problems);
    run(controls_.migrate, &MainForm::OnMigrate, true, After::Problems);
    run(controls_.saveReport, &MainForm::OnSaveReport, false, After::Nothing);
    run(controls_.saveOpeningStatement, &MainForm::OnSaveOpeningStatement, false, After::Nothing);
    run(controls_.restore, &MainForm::OnRestore, false, After::Nothing);
    run(controls_.saveFailedRows, &MainForm::OnSaveFailedRows, false, After::Nothing);
    connect(controls_.close, &QPushButton::clicked, this, [this] {
        if (host_.Busy()) {
            window_->close();  // asks first (see MainWindow::closeEvent)
        } else {
            form_.OnClose();
        }
    });
}

void RunControlsBinder::ConnectInputs() {
    connect(controls_.company, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!host_.Syncing()) {
            form_.companyList.SetListIndex(index);
            form_.OnCompanyChosen();
            controls_.saveOpeningStatement->setEnabled(!host_.Busy() &&
                                                       form_.saveOpeningStatementButton.Enabled);
        }
    });
    auto box = [this](QCheckBox* check, int& value) {
        connect(check, &QCheckBox::toggled, this, [this, &value](bool on) {
            if (!host_.Syncing()) {
                value = on ? 1 : 0;
            }
        });
    };
    box(controls_.replaceOpenings, form_.replaceOpeningsBox.Value);
    box(controls_.negativeIsCredit, form_.negativeIsCreditBox.Value);
    box(controls_.update, form_.updateItemsBox.Value);
    connect(controls_.date, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!host_.Syncing()) {
            form_.migrationDate.Value = Date{d.year(), d.month(), d.day()};
        }
    });
}

void RunControlsBinder::Sync() {
    controls_.frame->setVisible(form_.migrationFrame.Visible);
    SyncCompanies();
    controls_.update->setChecked(form_.updateItemsBox.Value == 1);
    controls_.negativeIsCredit->setChecked(form_.negativeIsCreditBox.Value == 1);
    controls_.replaceOpenings->setChecked(form_.replaceOpeningsBox.Value == 1);
    const Date& d = form_.migrationDate.Value;
    controls_.date->setDate(QDate(d.year, d.month, d.day));
}

void RunControlsBinder::SyncCompanies() {
    const ComboBox& combo = form_.companyList;
    QComboBox* company = controls_.company;
    bool sameList = company->count() == combo.ListCount();
    for (int i = 0; sameList && i < combo.ListCount(); ++i) {
        sameList = company->itemText(i).toStdString() == combo.List(i);
    }
    if (!sameList) {
        company->clear();
        for (int i = 0; i < combo.ListCount(); ++i) {
            company->addItem(QString::fromStdString(combo.List(i)));
        }
    }
    company->setCurrentIndex(combo.ListIndex());
}

void RunControlsBinder::SyncEnabled() {
    bool busy = host_.Busy();
    controls_.saveReport->setEnabled(!busy && !form_.tally.rows.empty());
    controls_.saveOpeningStatement->setEnabled(!busy && form_.saveOpeningStatementButton.Enabled);
    controls_.restore->setEnabled(!busy && form_.restoreButton.Enabled);
    controls_.saveFailedRows->setEnabled(!busy && form_.saveFailedRowsButton.Enabled);
}

void RunControlsBinder::SetBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             controls_.migrate, controls_.check, controls_.company, controls_.date,
             controls_.update, controls_.replaceOpenings, controls_.negativeIsCredit,
             controls_.saveReport, controls_.restore, controls_.saveFailedRows,
             controls_.saveOpeningStatement}) {
        w->setEnabled(!busy);
    }
}

}  // namespace ledgerlift
