#pragma once

#include <QByteArray>
#include <QString>
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
class Settings : public ProductFolderMemory, public ColumnMemory {
  public:
    Settings();
    ~Settings() override;

    std::string Recall() const override;
    void Remember(const std::string& folder) override;

    QString WorkbookFolder() const;
    void SetWorkbookFolder(const QString& folder);
    std::string Recall(const std::string& signature) const override;
    void Remember(const std::string& signature, const std::string& choiceJson) override;
    void Forget(const std::string& signature) override;

    QByteArray WindowGeometry() const;
    void SetWindowGeometry(const QByteArray& geometry);

  private:
    QSettings& Store() const;

    mutable std::unique_ptr<QSettings> store_;
};

}  // namespace ledgerlift
