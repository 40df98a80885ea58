#pragma once

#include <string>
#include <vector>

#include "base/Date.h"

namespace ledgerlift {

// The plain state of the window's simple controls. A view shows them and
// writes back what the operator changes.

struct Label {
    std::string Caption;
};

struct CommandButton {
    std::string Caption;
    bool Enabled = true;
};

struct Frame {
    bool Visible = true;
};

struct CheckBox {
    std::string Caption;
    int Value = 0;  // 1 when ticked
};

struct DatePicker {
    Date Value;
};

// A multi-line text box. SelStart is the caret; moving it to the end scrolls
// the box to its last line.
struct TextBox {
    std::string Text;
    int SelStart = 0;
};

// A drop-down list of entries.
class ComboBox {
  public:
    void AddItem(const std::string& text) {
        items_.push_back(text);
        newIndex_ = static_cast<int>(items_.size()) - 1;
    }
    int NewIndex() const { return newIndex_; }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index) { listIndex_ = index >= -1 && index < ListCount() ? index : -1; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(index); }
    // The chosen entry's text, or the empty text when none is chosen.
    std::string Text() const { return listIndex_ >= 0 ? items_[listIndex_] : std::string(); }

  private:
    std::vector<std::string> items_;
    int newIndex_ = -1;
    int listIndex_ = -1;
};

// The tab control: one caption per tab and the selected tab.
struct TabControl {
    std::vector<std::string> TabCaption;
    int Tab = 0;
};

// The invisible open-file dialog: its filter and the file last chosen.
struct CommonDialog {
    std::string Filter;
    std::string FileName;
};

}  // namespace ledgerlift
