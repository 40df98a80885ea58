#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

#include "company/ProductFolder.h"
#include "window/ColumnMemory.h"

class QSettings;

namespace ledgerlift {

// What the program remembers between runs, in the user's settings file
// ($XDG_CONFIG_HOME/Ledgerlift/Ledgerlift.conf, by default under ~/.config):
// the product folder the window used last, the folder of the last workbook
// chosen, the window's size and position, and the columns chosen for each
// workbook layout. The file is read when first
// asked, so a command that needs none of it never touches it.
//
// Only a regular file (or a link to one) of a sensible size is read, and
// only a regular file that is no link and not read-only is written; else
// nothing is read or written, and Problem() says why.
class Settings : public ProductFolderMemory, public ColumnMemory {
  public:
    Settings();
    ~Settings() override;

    std::string Recall() const override;
    void Remember(const std::string& folder) override;

    QString WorkbookFolder() const;
    void SetWorkbookFolder(const QString& folder);
    std::string Recall(const std::string& signature) const override;
    std::string Remember(const std::string& signature, const std::string& choiceJson) override;
    void Forget(const std::string& signature) override;

    QByteArray WindowGeometry() const;
    void SetWindowGeometry(const QByteArray& geometry);

    // The first sentence about the file that could not be read or written
    // ("" while there was none), for the operator to be told.
    const std::string& Problem() const { return problem_; }

  private:
    // The settings as read; none when the file can't be read.
    QSettings* Store() const;
    // The same, when the file may also be written.
    QSettings* Writable();
    // Why the file may not be written ("" when it may), noted as a problem.
    std::string WriteRefusal() const;
    void Note(const std::string& problem) const;
    QVariant Value(const QString& key) const;
    void Set(const QString& key, const QVariant& value);

    mutable std::unique_ptr<QSettings> store_;
    mutable bool opened_ = false;
    mutable std::string path_;
    mutable std::string problem_;
};

}  // namespace ledgerlift
