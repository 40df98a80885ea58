#pragma once

#include <QObject>
#include <string>

#include "qt/AreaHost.h"

class QLabel;
class QLayout;
class QPlainTextEdit;
class QPushButton;

namespace ledgerlift {

class ColumnsControl;
class ElidedLines;
class MainForm;

// Step 1 of the window: Load Excel Data with Columns... and Save Template...
// beside it, the name of the workbook the grids hold and what the load read
// of each sheet under it; and the status box, where every procedure writes
// what it did.
struct LoadArea {
    QPushButton* load = nullptr;
    ColumnsControl* columns = nullptr;
    QLabel* workbook = nullptr;
    ElidedLines* lines = nullptr;
    QPlainTextEdit* status = nullptr;
    QLayout* buttons = nullptr;  // Load Excel Data, Columns..., Save Template...
};

// Makes the load area's widgets and lays out its row of buttons; columns
// (the window's own) brings Columns... and Save Template...
LoadArea BuildLoadArea(const MainForm& form, ColumnsControl* columns);

// Load Excel Data runs the load; the labels and the status box follow the
// form.
class LoadBinder : public QObject {
    Q_OBJECT
  public:
    LoadBinder(const LoadArea& area, MainForm& form, AreaHost& host, QObject* parent);

    // The status box, as the form's holds it.
    void Sync();
    // The workbook's name and what the load read of it; while no procedure
    // runs.
    void SyncWorkbook();
    void SetBusy(bool busy);

  private:
    LoadArea area_;
    MainForm& form_;
    AreaHost& host_;
    std::string shownStatus_;
};

}  // namespace ledgerlift
