#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Appends a line to the status box statusBox (old text, CR LF, the line) and
// tells the window operations of it.
void AppendStatus(FormControls& controls, WindowOps& ops, const std::string& line);

// Moves the status box's caret to the end, which scrolls to the last line.
void StatusCaretToEnd(FormControls& controls);

}  // namespace ledgerlift
