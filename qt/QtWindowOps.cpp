#include "qt/QtWindowOps.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <ctime>

#include "qt/ChoiceDialog.h"
#include "qt/MainWindow.h"
#include "qt/Settings.h"

namespace ledgerlift {
namespace {

// Milliseconds on a monotonic clock that is cheap to read: an event pass may
// be asked for twice a row, and the precise clock costs as much as a row's
// cells. The coarse one ticks every few milliseconds, plenty for a refresh
// every hundred.
std::int64_t CoarseMilliseconds() {
    timespec now{};
#ifdef CLOCK_MONOTONIC_COARSE
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Every file dialog of the window is Qt's own: its name filters match in any
// letter case, so "*.xlsx" lists BOOK.XLSX. A native one (GTK's, the desktop
// portal's) would match the patterns letter for letter and leave such a
// workbook out, or need patterns like "*.[xX][lL][sS]" shown to the operator.
void UseQtDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
}

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString QtWindowOps::QtFilter(const std::string& filter) {
    // "Name|pattern|Name|pattern" becomes "Name (pattern);;Name (pattern)".
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (auto& p : patterns) {
            // "*.*" means every file, as on the platform the filter comes
            // from; here it would leave out names without a dot.
            p = p.trimmed() == "*.*" ? QString("*") : p.trimmed();
        }
        entries << QString("%1 (%2)").arg(parts[i], patterns.join(' '));
    }
    return entries.join(";;");
}

void QtWindowOps::Refresh() {
    if (window_) {
        window_->Sync();
    }
    lastRefreshMs_ = CoarseMilliseconds();
}

MsgAnswer QtWindowOps::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                              const std::string& caption) {
    Refresh();
    QMessageBox box(
        ToQt(icon), QString::fromStdString(caption.empty() ? kAppTitle : caption),
        QString::fromStdString(text),
        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        window_);
    box.setAccessibleName(box.windowTitle());
    // The hourglass would otherwise hide that the box waits for an answer.
    bool restore = hourglass_;
    if (restore) {
        QApplication::restoreOverrideCursor();
    }
    int answer = box.exec();
    if (restore) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (buttons == MsgButtons::OK) {
        return MsgAnswer::OK;
    }
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void QtWindowOps::DoEvents() {
    if (lastRefreshMs_ >= 0 && CoarseMilliseconds() - lastRefreshMs_ < kRefreshMs) {
        return;
    }
    Refresh();
    QApplication::processEvents();
}

// The hourglass is the busy pointer that still points: the Stop button and
// Close can be clicked while a run goes on.
void QtWindowOps::SetMousePointer(MousePointer pointer) {
    bool wanted = pointer == MousePointer::Hourglass;
    if (wanted == hourglass_) {
        return;
    }
    hourglass_ = wanted;
    if (wanted) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtWindowOps::SetEnabled(bool enabled) {
    if (window_) {
        window_->setEnabled(enabled);
    }
}

std::optional<std::string> QtWindowOps::ShowOpen(const std::string& filter) {
    Refresh();
    QString file;
    if (!queuedFile_.isEmpty()) {
        file = queuedFile_;
        queuedFile_.clear();
    } else {
        QString start = settings_ ? settings_->WorkbookFolder() : QString();
        QFileDialog dialog(window_, QString(), start, QtFilter(filter));
        UseQtDialog(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            file = dialog.selectedFiles().constFirst();
        }
    }
    if (file.isEmpty()) {
        return std::nullopt;
    }
    if (settings_) {
        settings_->SetWorkbookFolder(QFileInfo(file).absolutePath());
    }
    return file.toStdString();
}

void QtWindowOps::Progress(const std::string& stage, int done, int total) {
    if (window_) {
        window_->SetProgress(stage, done, total);
    }
    DoEvents();
}

void QtWindowOps::EndProgress() {
    if (window_) {
        window_->EndProgress();
    }
}

std::optional<std::string> QtWindowOps::ShowSave(const std::string& filter,
                                                 const std::string& fileName) {
    Refresh();
    QFileDialog dialog(window_, QString(), QString(), QtFilter(filter));
    UseQtDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // "CSV Files|*.csv|..." gives "csv".
    QString first = QString::fromStdString(filter).section('|', 1, 1).section(';', 0, 0);
    if (first.startsWith("*.") && first.indexOf('*', 1) < 0) {
        dialog.setDefaultSuffix(first.mid(2));
    }
    if (!fileName.empty()) {
        dialog.selectFile(QString::fromStdString(fileName));
    }
    bool restore = hourglass_;
    if (restore) {
        QApplication::restoreOverrideCursor();
    }
    bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (restore) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (!chosen) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<int> QtWindowOps::ChooseFromList(const std::string& caption,
                                               const std::string& prompt,
                                               const std::vector<std::string>& entries) {
    Refresh();
    ChoiceDialog dialog(window_, caption.empty() ? kAppTitle : caption, prompt, entries);
    // The busy pointer would otherwise hide that the dialog waits for a choice.
    bool restore = hourglass_;
    if (restore) {
        QApplication::restoreOverrideCursor();
    }
    bool chosen = dialog.exec() == QDialog::Accepted;
    if (restore) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (!chosen) {
        return std::nullopt;
    }
    return dialog.Chosen();
}

void QtWindowOps::Unload() {
    if (window_) {
        window_->RequestUnload();
    }
}

}  // namespace ledgerlift
