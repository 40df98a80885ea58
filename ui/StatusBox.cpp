#include "ui/StatusBox.h"

namespace ledgerlift {

void AppendStatus(FormControls& controls, WindowOps& ops, const std::string& line) {
    controls.statusBox.Text = controls.statusBox.Text + "\r\n" + line;
    ops.StatusLine(line);
}

void StatusCaretToEnd(FormControls& controls) {
    controls.statusBox.SelStart = static_cast<int>(controls.statusBox.Text.size());
}

}  // namespace ledgerlift
