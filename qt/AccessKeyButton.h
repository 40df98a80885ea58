#pragma once

#include <QString>
#include <string>

class QPushButton;

namespace ledgerlift {

// A button whose text carries an access key (Alt and the underlined letter);
// its accessible name stays the caption the logic gives it.
QPushButton* AccessKeyButton(const std::string& caption, const QString& withKey);

}  // namespace ledgerlift
