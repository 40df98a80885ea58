#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {

MsgAnswer ScriptedWindowOps::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                    const std::string& caption) {
    Message message{text, buttons, icon, caption.empty() ? std::string(kAppTitle) : caption};
    messages_.push_back(message);
    if (observer_) {
        observer_(message);
    }
    if (buttons == MsgButtons::OK) {
        return MsgAnswer::OK;
    }
    if (!answers_.empty()) {
        MsgAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (fallback_) {
        return fallback_(message);
    }
    ++unscripted_;
    return MsgAnswer::No;
}

void ScriptedWindowOps::DoEvents() {
    ++doEvents_;
    if (doEventsHook_) {
        doEventsHook_();
    }
}

void ScriptedWindowOps::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    pointerHistory_.push_back(pointer);
}

std::optional<std::string> ScriptedWindowOps::ShowOpen(const std::string& filter) {
    filters_.push_back(filter);
    if (files_.empty()) {
        return std::nullopt;
    }
    auto file = files_.front();
    files_.pop_front();
    return file;
}

void ScriptedWindowOps::Progress(const std::string& stage, int done, int total) {
    progress_.push_back({stage, done, total});
    if (progressHook_) {
        progressHook_(stage, done, total);
    }
}

std::optional<std::string> ScriptedWindowOps::ShowSave(const std::string& filter,
                                                       const std::string& fileName) {
    filters_.push_back(filter);
    saveNames_.push_back(fileName);
    if (saveFiles_.empty()) {
        return std::nullopt;
    }
    auto file = saveFiles_.front();
    saveFiles_.pop_front();
    return file;
}

std::optional<int> ScriptedWindowOps::ChooseFromList(const std::string&, const std::string&,
                                                     const std::vector<std::string>& entries) {
    lists_.push_back(entries);
    if (choices_.empty()) {
        return std::nullopt;
    }
    auto choice = choices_.front();
    choices_.pop_front();
    if (choice && (*choice < 0 || *choice >= static_cast<int>(entries.size()))) {
        return std::nullopt;
    }
    return choice;
}

}  // namespace ledgerlift
