#pragma once

#include <string>

class QWidget;

namespace ledgerlift {

// Asks the operator for the product folder when none was found: a folder
// chooser whose title says what to pick, asked again (after a message that
// says why and offers to choose again or go back) while the chosen folder
// holds no Resources/Database. Gives the folder, or "" when the operator
// cancels or goes back.
std::string AskForProductFolder(QWidget* parent = nullptr);

}  // namespace ledgerlift
