#include "qt/Settings.h"

#include <QSettings>
#include <cstdint>

namespace ledgerlift {
namespace {
const char* const kProductFolderKey = "productFolder";
const char* const kWorkbookFolderKey = "workbookFolder";
const char* const kGeometryKey = "window/geometry";

// The group of a workbook layout's columns: "columns/" and a hash of its
// signature (a signature may be long, and holds characters no key should).
// The signature itself is kept beside the choice, so that two layouts whose
// hashes meet never take each other's columns.
QString ColumnsGroup(const std::string& signature) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : signature) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return "columns/" + QString::number(hash, 16);
}
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

std::string Settings::Recall(const std::string& signature) const {
    const QString group = ColumnsGroup(signature);
    if (Store().value(group + "/signature").toString().toStdString() != signature) {
        return "";
    }
    return Store().value(group + "/choice").toString().toStdString();
}

void Settings::Remember(const std::string& signature, const std::string& choiceJson) {
    const QString group = ColumnsGroup(signature);
    Store().setValue(group + "/signature", QString::fromStdString(signature));
    Store().setValue(group + "/choice", QString::fromStdString(choiceJson));
    Store().sync();
}

void Settings::Forget(const std::string& signature) {
    if (!Recall(signature).empty()) {
        Store().remove(ColumnsGroup(signature));
        Store().sync();
    }
}

QByteArray Settings::WindowGeometry() const {
    return Store().value(kGeometryKey).toByteArray();
}

void Settings::SetWindowGeometry(const QByteArray& geometry) {
    Store().setValue(kGeometryKey, geometry);
}

}  // namespace ledgerlift
