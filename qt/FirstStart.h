#pragma once

#include <string>

class QWidget;

namespace ledgerlift {

// The first start, when no product folder is known: the welcome, and then
// the demo company laid out in the user's data folder, or the folder chooser
// (whose Cancel comes back to the welcome). A demo that cannot be laid out
// says why and comes back too. Gives the folder to use, or "" on Quit.
std::string AskAtFirstStart(QWidget* parent = nullptr);

}  // namespace ledgerlift
