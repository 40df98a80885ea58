#include "qt/LoadArea.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "qt/AccessKeyButton.h"
#include "qt/ColumnsControl.h"
#include "qt/ElidedLines.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// The status box keeps CR LF line ends; the editor wants plain line feeds.
std::string PlainLines(const std::string& shown) {
    std::string plain;
    plain.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!(shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n')) {
            plain += shown[i];
        }
    }
    return plain;
}

}  // namespace

LoadArea BuildLoadArea(const MainForm& form, ColumnsControl* columns) {
    LoadArea area;
    area.load = AccessKeyButton(form.loadButton.Caption, "&Load Excel Data");
    area.columns = columns;
    area.status = new QPlainTextEdit;
    area.status->setReadOnly(true);
    area.status->setAccessibleName("Migration status");
    area.status->setMinimumWidth(360);

    area.workbook = new QLabel;
    area.workbook->setAccessibleName("Workbook");
    area.workbook->setWordWrap(true);
    area.workbook->setTextInteractionFlags(Qt::TextSelectableByMouse);
    area.lines = new ElidedLines;
    area.lines->setAccessibleName("What the load read");
    area.lines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    area.lines->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(area.load, 1);
    buttons->addWidget(columns->ColumnsButton());
    buttons->addWidget(columns->SaveTemplateButton());
    area.buttons = buttons;
    return area;
}

LoadBinder::LoadBinder(const LoadArea& area, MainForm& form, AreaHost& host, QObject* parent)
    : QObject(parent), area_(area), form_(form), host_(host) {
    connect(area_.load, &QPushButton::clicked, this, [this] {
        host_.Run([this] { form_.OnLoad(); }, false, AreaHost::After::Load);
        area_.columns->AfterLoad();
    });
}

void LoadBinder::Sync() {
    if (form_.statusBox.Text != shownStatus_) {
        shownStatus_ = form_.statusBox.Text;
        area_.status->setPlainText(QString::fromStdString(PlainLines(shownStatus_)));
    }
    if (form_.statusBox.SelStart >= static_cast<int>(form_.statusBox.Text.size())) {
        area_.status->moveCursor(QTextCursor::End);
        area_.status->ensureCursorVisible();
    }
}

void LoadBinder::SyncWorkbook() {
    QString path = QString::fromStdString(form_.fileDialog.FileName);
    if (form_.workbookLoaded && !path.isEmpty()) {
        area_.workbook->setText("Workbook: " + QFileInfo(path).fileName());
        area_.workbook->setToolTip(path);
    } else {
        area_.workbook->setText("No workbook loaded");
        area_.workbook->setToolTip(QString());
    }
    // What the load says of each sheet, under the workbook's name: a line
    // each here, cut to the column's width, the whole of it in the tooltip.
    QStringList lines;
    for (const std::string& line : form_.loadLines) {
        lines << QString::fromStdString(line);
    }
    if (lines != area_.lines->Lines()) {
        area_.lines->SetLines(lines);
    }
    area_.lines->setVisible(form_.workbookLoaded && !lines.isEmpty());
}

void LoadBinder::SetBusy(bool busy) {
    area_.load->setEnabled(!busy);
    area_.columns->Sync(busy);
}

}  // namespace ledgerlift
