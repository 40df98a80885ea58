#include "qt/ProgressArea.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "window/MainForm.h"

namespace ledgerlift {

ProgressArea BuildProgressArea() {
    ProgressArea area;
    area.text = new QLabel;
    area.text->setAccessibleName("Progress");
    area.bar = new QProgressBar;
    area.bar->setAccessibleName("Progress bar");
    // The sentence beside it gives the figures. A percentage in the bar would
    // make it repaint at once whenever it changes, which doubled the time the
    // window took from a run.
    area.bar->setTextVisible(false);
    area.stop = new QPushButton("S&top");
    area.stop->setAccessibleName("Stop");
    area.stop->setToolTip(
        "End the current step after the row in progress; you are then asked whether to go on "
        "with the next one");
    for (QWidget* w : std::initializer_list<QWidget*>{area.text, area.bar, area.stop}) {
        w->setVisible(false);
    }
    // The sentence on a line of its own, so that it is never cut; the bar
    // and Stop under it.
    auto* bar = new QHBoxLayout;
    bar->addWidget(area.bar, 1);
    bar->addWidget(area.stop);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    rows->addWidget(area.text);
    rows->addLayout(bar);
    area.rows = rows;
    return area;
}

ProgressBinder::ProgressBinder(const ProgressArea& area, MainForm& form, AreaHost& host,
                               QObject* parent)
    : QObject(parent), area_(area), form_(form), host_(host) {
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, [this] { ShowText(); });
    connect(area_.stop, &QPushButton::clicked, this, [this] {
        form_.OnStop();
        SyncStop();
    });
}

void ProgressBinder::SetProgress(const std::string& stage, int done, int total) {
    bool fresh = !meter_.Active() || meter_.Stage() != stage;
    // A report may come for each of a hundred thousand rows: the clock is
    // read only when the stage's clock starts, the timer reads it for the rest.
    meter_.Report(stage, done, total,
                  meter_.StartsStage(stage, done) ? ProgressMeter::Clock::now()
                                                  : ProgressMeter::Clock::time_point{});
    if (fresh) {
        ShowText();
        timer_->start();
    }
}

void ProgressBinder::EndProgress() {
    meter_.End();
    timer_->stop();
    area_.text->setVisible(false);
    area_.bar->setVisible(false);
}

void ProgressBinder::ShowText() {
    if (!meter_.Active()) {
        return;
    }
    area_.text->setText(QString::fromStdString(meter_.Text(ProgressMeter::Clock::now())));
    area_.text->setVisible(true);
    ShowBar();
}

void ProgressBinder::ShowBar() {
    if (!meter_.Active()) {
        return;
    }
    // Without a count of rows the bar only shows that something goes on.
    int total = std::max(0, meter_.Total());
    if (area_.bar->maximum() != total) {
        area_.bar->setRange(0, total);
    }
    int value = total > 0 ? std::min(meter_.Done(), total) : 0;
    if (area_.bar->value() != value) {
        // A progress bar repaints itself, and so the window, at once when its
        // value moves; the event pass that follows paints the window anyway,
        // so the bar waits for it instead of painting the window twice.
        area_.bar->setUpdatesEnabled(false);
        area_.bar->setValue(value);
        area_.bar->setUpdatesEnabled(true);
    }
    area_.bar->setVisible(true);
}

void ProgressBinder::SyncStop() {
    // Asked once, it waits for the row in progress; a run that goes on after
    // its question can be stopped again.
    bool asked = form_.stop.requested || host_.UnloadRequested();
    bool busy = host_.Busy();
    area_.stop->setEnabled(busy && !asked);
    area_.stop->setText(busy && asked ? "Stopping..." : "S&top");
}

void ProgressBinder::SetBusy(bool busy, bool stoppable) {
    area_.stop->setVisible(busy && stoppable);
    SyncStop();
}

}  // namespace ledgerlift
