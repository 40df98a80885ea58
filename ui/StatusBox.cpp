#include "ui/StatusBox.h"

namespace ledgerlift {

void AppendStatus(FormControls& controls, WindowOps& ops, const std::string& line) {
    controls.txtStatus.Text = controls.txtStatus.Text + "\r\n" + line;
    ops.StatusLine(line);
}

void StatusCaretToEnd(FormControls& controls) {
    controls.txtStatus.SelStart = static_cast<int>(controls.txtStatus.Text.size());
}

}  // namespace ledgerlift
