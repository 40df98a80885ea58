#pragma once

#include <string>
#include <vector>

#include "ui/WindowOps.h"

namespace ledgerlift {

// The window operations of a check: every "continue with next data?"
// question is answered Yes, so that the check goes through every row, and
// no message box is shown (the row's problems say what each would have
// said). Event passes and the pointer go to the window as they are.
class CheckOps : public WindowOps {
  public:
    explicit CheckOps(WindowOps& window) : window_(window) {}

    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon,
                     const std::string& = "") override {
        if (buttons == MsgButtons::YesNo) {
            return MsgAnswer::Yes;
        }
        held_.push_back(text);
        return MsgAnswer::OK;
    }
    void DoEvents() override { window_.DoEvents(); }
    void SetMousePointer(MousePointer pointer) override { window_.SetMousePointer(pointer); }
    void SetEnabled(bool enabled) override { window_.SetEnabled(enabled); }
    std::optional<std::string> ShowOpen(const std::string& filter) override {
        return window_.ShowOpen(filter);
    }
    std::optional<std::string> ShowSave(const std::string& filter,
                                        const std::string& suggested) override {
        return window_.ShowSave(filter, suggested);
    }
    std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& entries) override {
        return window_.ChooseFromList(caption, prompt, entries);
    }
    void Unload() override { window_.Unload(); }

    // The messages the check kept back, in order.
    const std::vector<std::string>& Held() const { return held_; }

  private:
    WindowOps& window_;
    std::vector<std::string> held_;
};

}  // namespace ledgerlift
