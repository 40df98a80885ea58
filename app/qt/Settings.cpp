#include "app/qt/Settings.h"

#include <QSettings>

namespace ledgerlift {
namespace {
const char* const kProductFolderKey = "productFolder";
const char* const kWorkbookFolderKey = "workbookFolder";
const char* const kGeometryKey = "window/geometry";
}  // namespace

Settings::Settings() = default;
Settings::~Settings() = default;

QSettings& Settings::Store() const {
    if (!store_) {
        store_ = std::make_unique<QSettings>("Ledgerlift", "Ledgerlift");
    }
    return *store_;
}

std::string Settings::Recall() const {
    return Store().value(kProductFolderKey).toString().toStdString();
}

void Settings::Remember(const std::string& folder) {
    Store().setValue(kProductFolderKey, QString::fromStdString(folder));
}

QString Settings::WorkbookFolder() const {
    return Store().value(kWorkbookFolderKey).toString();
}

void Settings::SetWorkbookFolder(const QString& folder) {
    Store().setValue(kWorkbookFolderKey, folder);
}

QByteArray Settings::WindowGeometry() const {
    return Store().value(kGeometryKey).toByteArray();
}

void Settings::SetWindowGeometry(const QByteArray& geometry) {
    Store().setValue(kGeometryKey, geometry);
}

}  // namespace ledgerlift
