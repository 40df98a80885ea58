#include "qt/FolderArea.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "qt/AccessKeyButton.h"
#include "qt/ProductFolderDialog.h"
#include "window/MainForm.h"

namespace ledgerlift {

FolderArea BuildFolderArea(const MainForm& form) {
    FolderArea area;
    area.folder = new QLabel("Product folder: " + QString::fromStdString(form.ProductFolder()));
    // A long path wraps or is cut, never widening the column; the tooltip
    // holds it whole.
    area.folder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    area.folder->setAccessibleName("Product folder");
    area.folder->setWordWrap(true);
    area.folder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    area.change = AccessKeyButton("Change...", "Chan&ge...");
    area.change->setToolTip(
        "Use another product folder (the one under which Resources/Database lies): its "
        "companies fill the list");
    auto* row = new QHBoxLayout;
    row->addWidget(area.folder, 1);
    row->addWidget(area.change, 0, Qt::AlignTop);
    area.row = row;
    return area;
}

FolderBinder::FolderBinder(const FolderArea& area, MainForm& form, AreaHost& host, QWidget* window,
                           std::function<void()> refresh)
    : QObject(window),
      area_(area),
      form_(form),
      host_(host),
      window_(window),
      refresh_(std::move(refresh)) {
    connect(area_.change, &QPushButton::clicked, this, [this] { Change(); });
}

void FolderBinder::Change() {
    if (host_.Busy()) {
        return;
    }
    std::string folder = choose_ ? choose_(window_) : AskForProductFolder(window_);
    if (folder.empty()) {
        return;
    }
    form_.UseProductFolder(folder);
    if (changed_) {
        changed_(folder);
    }
    refresh_();
}

void FolderBinder::Sync() {
    area_.folder->setText("Product folder: " + QString::fromStdString(form_.ProductFolder()));
    area_.folder->setToolTip(QString::fromStdString(form_.ProductFolder()));
}

void FolderBinder::SetBusy(bool busy) {
    area_.change->setEnabled(!busy);
}

}  // namespace ledgerlift
