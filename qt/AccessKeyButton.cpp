#include "qt/AccessKeyButton.h"

#include <QPushButton>

namespace ledgerlift {

QPushButton* AccessKeyButton(const std::string& caption, const QString& withKey) {
    auto* button = new QPushButton(withKey);
    button->setAccessibleName(QString::fromStdString(caption));
    button->setMinimumHeight(32);
    return button;
}

}  // namespace ledgerlift
