#include "qt/ChoiceDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ledgerlift {

ChoiceDialog::ChoiceDialog(QWidget* parent, const std::string& caption, const std::string& prompt,
                           const std::vector<std::string>& entries)
    : QDialog(parent) {
    setWindowTitle(QString::fromStdString(caption));
    setAccessibleName(windowTitle());
    auto* label = new QLabel(QString::fromStdString(prompt));
    label->setWordWrap(true);
    label->setAccessibleName(label->text());
    list_ = new QListWidget;
    list_->setAccessibleName("Choices");
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const std::string& entry : entries) {
        list_->addItem(QString::fromStdString(entry));
    }
    if (!entries.empty()) {
        list_->setCurrentRow(0);
    }
    label->setBuddy(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    for (auto* button : buttons->buttons()) {
        button->setAccessibleName(button->text().remove('&'));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(720, 360);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::optional<int> ChoiceDialog::Chosen() const {
    int row = list_->currentRow();
    if (row < 0) {
        return std::nullopt;
    }
    return row;
}

}  // namespace ledgerlift
