#pragma once

#include <string>
#include <vector>

#include "ui/WindowOps.h"

namespace ledgerlift {

// The window operations of a check: every "continue with next data?"
// question is answered Yes, so that the check goes through every row, and
// no message box is shown (the row's problems say what each would have
// said). Event passes, the pointer, progress and dialogs go to the window as
// they are.
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
    std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& entries) override {
        return window_.ChooseFromList(caption, prompt, entries);
    }
    void Unload() override { window_.Unload(); }
    // The stages' progress, under the check's name ("Checking items").
    void Progress(const std::string& stage, int done, int total) override {
        const std::string migrating = "Migrating ";
        window_.Progress(
            stage.rfind(migrating, 0) == 0 ? "Checking " + stage.substr(migrating.size()) : stage,
            done, total);
    }
    void EndProgress() override { window_.EndProgress(); }
    std::optional<std::string> ShowSave(const std::string& filter,
                                        const std::string& fileName) override {
        return window_.ShowSave(filter, fileName);
    }

    // The messages the check kept back, in order.
    const std::vector<std::string>& Held() const { return held_; }

  private:
    WindowOps& window_;
    std::vector<std::string> held_;
};

}  // namespace ledgerlift
