#include "qt/ProductFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "company/ProductFolder.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

std::string AskForProductFolder(QWidget* parent) {
    QString start = QDir::homePath();
    for (;;) {
        QFileDialog dialog(parent,
                           "Choose the product folder: the folder under which "
                           "Resources/Database lies",
                           start);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        // Qt's own dialog, so that the title and the button say what to pick.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setLabelText(QFileDialog::Accept, "Use This Folder");
        dialog.setAccessibleName("Product folder");
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return "";
        }
        std::string folder = NormalFolder(dialog.selectedFiles().first().toStdString());
        if (HoldsDatabaseFolder(folder)) {
            return folder;
        }
        start = QString::fromStdString(folder);
        // The operator may choose again, or go back (at the first start, to
        // the welcome, which offers the demo).
        QMessageBox box(
            QMessageBox::Warning, kAppTitle,
            QString::fromStdString(
                folder +
                " holds no Resources/Database folder. Choose the product's folder, the one "
                "under which Resources/Database lies, or lay out a demo one with \"ledgerlift "
                "demo DIR\" and choose that."),
            QMessageBox::NoButton, parent);
        QPushButton* again = box.addButton("Choose &Again", QMessageBox::AcceptRole);
        QPushButton* back = box.addButton("&Back", QMessageBox::RejectRole);
        box.setDefaultButton(again);
        box.exec();
        if (box.clickedButton() == back) {
            return "";
        }
    }
}

}  // namespace ledgerlift
