#pragma once

#include <QObject>

#include "qt/AreaHost.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLayout;
class QPushButton;
class QWidget;

namespace ledgerlift {

class MainForm;

// The controls that start a run and what follows one. In the frame of
// Step II: the company, the migration date, the update modes, Start
// Migration and Check Data. Under it Restore Backup... and Save Failed
// Rows...; at the foot Save Report..., Save Statement... and Close.
struct RunControls {
    QFrame* frame = nullptr;
    QComboBox* company = nullptr;
    QDateEdit* date = nullptr;
    QCheckBox* update = nullptr;
    QCheckBox* negativeIsCredit = nullptr;
    QCheckBox* replaceOpenings = nullptr;
    QPushButton* migrate = nullptr;
    QPushButton* check = nullptr;
    QPushButton* restore = nullptr;
    QPushButton* saveFailedRows = nullptr;
    QPushButton* saveReport = nullptr;
    QPushButton* saveOpeningStatement = nullptr;
    QPushButton* close = nullptr;
    QLayout* afterRun = nullptr;    // Restore Backup..., Save Failed Rows...
    QLayout* endButtons = nullptr;  // Save Report..., Save Statement..., Close
};

// Makes the run controls and lays out the frame and the two rows of
// buttons.
RunControls BuildRunControls(const MainForm& form);

// The buttons run their procedures; the inputs write the form's controls,
// except while the view itself sets them from the form.
class RunControlsBinder : public QObject {
    Q_OBJECT
  public:
    // Close closes window while a procedure runs (which asks first).
    RunControlsBinder(const RunControls& controls, MainForm& form, AreaHost& host, QWidget* window);

    // The frame, the company list, the update modes and the date.
    void Sync();
    // The buttons that need a run, a migrated company or a backup; while no
    // procedure runs.
    void SyncEnabled();
    void SetBusy(bool busy);

  private:
    void ConnectButtons();
    void ConnectInputs();
    void SyncCompanies();

    RunControls controls_;
    MainForm& form_;
    AreaHost& host_;
    QWidget* window_;
};

}  // namespace ledgerlift
