#include "qt/FirstStart.h"

#include <QMessageBox>
#include <exception>

#include "company/UserDemoFolder.h"
#include "qt/ProductFolderDialog.h"
#include "qt/WelcomeDialog.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

std::string AskAtFirstStart(QWidget* parent) {
    for (;;) {
        WelcomeDialog welcome(parent);
        welcome.exec();
        switch (welcome.Chosen()) {
            case WelcomeDialog::Choice::Quit:
                return "";
            case WelcomeDialog::Choice::ChooseFolder:
                if (std::string folder = AskForProductFolder(parent); !folder.empty()) {
                    return folder;
                }
                break;
            case WelcomeDialog::Choice::Demo:
                try {
                    return LayOutUserDemoFolder();
                } catch (const std::exception& error) {
                    QMessageBox::warning(parent, kAppTitle, QString::fromStdString(error.what()));
                }
                break;
        }
    }
}

}  // namespace ledgerlift
