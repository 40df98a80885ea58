#pragma once

#include <QObject>
#include <string>

#include "qt/AreaHost.h"
#include "ui/ProgressMeter.h"

class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ledgerlift {

class MainForm;

// Under the grids while a procedure runs: a sentence that tells how far it
// is (the rows, the rate, the time left), a progress bar, and (for a run or
// a check) Stop, which asks the logic to end the stage after the row in
// progress. Hidden otherwise.
struct ProgressArea {
    QLabel* text = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* stop = nullptr;
    QLayout* rows = nullptr;
};

ProgressArea BuildProgressArea();

// Stop asks the form to stop; the figures the procedure reports show on
// the bar at every event pass and in the sentence on a timer of their own.
class ProgressBinder : public QObject {
    Q_OBJECT
  public:
    // How often the sentence beside the progress bar is written afresh.
    static constexpr int kRefreshMs = 250;

    ProgressBinder(const ProgressArea& area, MainForm& form, AreaHost& host, QObject* parent);

    // The figures of the procedure under way.
    void SetProgress(const std::string& stage, int done, int total);
    void EndProgress();
    // The bar, at every event pass.
    void ShowBar();
    // Stop, enabled until the operator asked once.
    void SyncStop();
    void SetBusy(bool busy, bool stoppable);

  private:
    void ShowText();

    ProgressArea area_;
    MainForm& form_;
    AreaHost& host_;
    QTimer* timer_ = nullptr;
    ProgressMeter meter_;
};

}  // namespace ledgerlift
