#include "qt/Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <cstdint>

#include "base/RegularFile.h"

namespace ledgerlift {
namespace {
const char* const kProductFolderKey = "productFolder";
const char* const kWorkbookFolderKey = "workbookFolder";
const char* const kGeometryKey = "window/geometry";

// The file holds a few folders, a window's place and some choices of
// columns; one far larger is no settings file of ours.
constexpr std::uint64_t kLargestSettings = std::uint64_t{16} << 20;

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

// Why the file at path must not be written in its place ("" when it may, or
// is not there yet): writing through a link would replace whatever it leads
// to (a device node, another user's file), and a file marked read-only is
// left as it is even by an account that could write it.
std::string WriteProblem(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "";
    }
    if (S_ISLNK(st.st_mode)) {
        return "it is a symbolic link, and nothing is written through one";
    }
    if (!S_ISREG(st.st_mode)) {
        return "it is not a regular file";
    }
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
        return "it is read-only";
    }
    return "";
}
}  // namespace

Settings::Settings() = default;
Settings::~Settings() = default;

void Settings::Note(const std::string& problem) const {
    if (problem_.empty()) {
        problem_ = problem;
    }
}

QSettings* Settings::Store() const {
    if (opened_) {
        return store_.get();
    }
    opened_ = true;
    path_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
            "/Ledgerlift/Ledgerlift.conf";
    // Only a regular file of a sensible size is read: a pipe in its place
    // would block the program, a device would never end.
    struct stat st {};
    bool absent = ::stat(path_.c_str(), &st) != 0 && errno == ENOENT;
    if (std::string why = RegularFileProblem(path_, kLargestSettings); !absent && !why.empty()) {
        Note("The settings file " + path_ + " can't be read: " + why +
             ". What the program remembers there is not used, and nothing is kept.");
        return nullptr;
    }
    store_ = std::make_unique<QSettings>(QString::fromStdString(path_), QSettings::IniFormat);
    return store_.get();
}

std::string Settings::WriteRefusal() const {
    std::string why = WriteProblem(path_);
    if (why.empty()) {
        return "";
    }
    std::string sentence = "The settings file " + path_ + " was not written: " + why + ".";
    Note(sentence);
    return sentence;
}

QSettings* Settings::Writable() {
    QSettings* store = Store();
    return store && WriteRefusal().empty() ? store : nullptr;
}

QVariant Settings::Value(const QString& key) const {
    QSettings* store = Store();
    return store ? store->value(key) : QVariant();
}

void Settings::Set(const QString& key, const QVariant& value) {
    if (QSettings* store = Writable()) {
        store->setValue(key, value);
    }
}

std::string Settings::Recall() const {
    return Value(kProductFolderKey).toString().toStdString();
}

void Settings::Remember(const std::string& folder) {
    Set(kProductFolderKey, QString::fromStdString(folder));
}

QString Settings::WorkbookFolder() const {
    return Value(kWorkbookFolderKey).toString();
}

void Settings::SetWorkbookFolder(const QString& folder) {
    Set(kWorkbookFolderKey, folder);
}

std::string Settings::Recall(const std::string& signature) const {
    const QString group = ColumnsGroup(signature);
    if (Value(group + "/signature").toString().toStdString() != signature) {
        return "";
    }
    return Value(group + "/choice").toString().toStdString();
}

std::string Settings::Remember(const std::string& signature, const std::string& choiceJson) {
    QSettings* store = Store();
    if (!store) {
        return problem_;
    }
    if (std::string refused = WriteRefusal(); !refused.empty()) {
        return refused;
    }
    const QString group = ColumnsGroup(signature);
    store->setValue(group + "/signature", QString::fromStdString(signature));
    store->setValue(group + "/choice", QString::fromStdString(choiceJson));
    store->sync();
    if (store->status() != QSettings::NoError) {
        std::string sentence = "The settings file " + path_ + " could not be written.";
        Note(sentence);
        return sentence;
    }
    return "";
}

void Settings::Forget(const std::string& signature) {
    if (Recall(signature).empty()) {
        return;
    }
    if (QSettings* store = Writable()) {
        store->remove(ColumnsGroup(signature));
        store->sync();
    }
}

QByteArray Settings::WindowGeometry() const {
    return Value(kGeometryKey).toByteArray();
}

void Settings::SetWindowGeometry(const QByteArray& geometry) {
    Set(kGeometryKey, geometry);
}

}  // namespace ledgerlift
