#include "qt/WelcomeDialog.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/WindowOps.h"

namespace ledgerlift {

const char* const WelcomeDialog::kText =
    "Ledgerlift moves a company's items, ledgers and opening balances from an Excel or "
    "OpenDocument workbook into the company's Tallvane database. It needs the Tallvane product "
    "folder, the one under which Resources/Database lies; to look around first, try the demo "
    "company.";

WelcomeDialog::WelcomeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString(kAppTitle));
    setAccessibleName("Welcome");
    auto* text = new QLabel(kText);
    text->setWordWrap(true);
    text->setAccessibleName("What Ledgerlift does and needs");
    text->setMinimumWidth(420);
    auto* logo = new QLabel;
    logo->setPixmap(QIcon(":/pictures/logo.svg").pixmap(QSize(148, 65)));

    demo_ = new QPushButton("&Try the Demo Company");
    demo_->setAccessibleName("Try the Demo Company");
    demo_->setToolTip(
        "Lay out a demo product folder with the companies DEMO and SHOP and a "
        "sample workbook in your data folder, and open it");
    choose_ = new QPushButton("&Choose the Product Folder...");
    choose_->setAccessibleName("Choose the Product Folder...");
    quit_ = new QPushButton("&Quit");
    quit_->setAccessibleName("Quit");
    choose_->setDefault(true);
    connect(demo_, &QPushButton::clicked, this, [this] { Choose(Choice::Demo); });
    connect(choose_, &QPushButton::clicked, this, [this] { Choose(Choice::ChooseFolder); });
    connect(quit_, &QPushButton::clicked, this, [this] { Choose(Choice::Quit); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(demo_);
    buttons->addWidget(choose_);
    buttons->addStretch(1);
    buttons->addWidget(quit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logo);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void WelcomeDialog::Choose(Choice choice) {
    chosen_ = choice;
    if (choice == Choice::Quit) {
        reject();
    } else {
        accept();
    }
}

}  // namespace ledgerlift
