#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/WindowOps.h"

namespace ledgerlift {

// Window operations without a window: questions and file dialogs are answered
// from queues, and every message box is recorded. Used by the tests and by
// the command line.
class ScriptedWindowOps : public WindowOps {
  public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::string caption;  // as shown: the program's title when none was given
    };

    // Answers for Yes/No questions, in order. When the queue is empty the
    // fallback answers (by default: a question nobody scripted is a test error,
    // answered No).
    void QueueAnswer(MsgAnswer answer) { answers_.push_back(answer); }
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    // Answers for the save-file dialog, in order; cancelled when none is left.
    void QueueSaveFile(std::optional<std::string> path) { saveFiles_.push_back(std::move(path)); }
    // Answers for list choices, in order; nothing (cancelled) when none is left.
    void QueueChoice(std::optional<int> index) { choices_.push_back(index); }
    void SetFallback(std::function<MsgAnswer(const Message&)> fallback) {
        fallback_ = std::move(fallback);
    }
    // Called for every message box as it is shown (the command line prints it).
    void SetObserver(std::function<void(const Message&)> observer) {
        observer_ = std::move(observer);
    }
    void SetDoEventsHook(std::function<void()> hook) { doEventsHook_ = std::move(hook); }
    // Called for every progress report, after it is recorded.
    void SetProgressHook(std::function<void(const std::string&, int, int)> hook) {
        progressHook_ = std::move(hook);
    }

    struct ProgressReport {
        std::string stage;
        int done;
        int total;
        bool operator==(const ProgressReport&) const = default;
    };

    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                     const std::string& caption = "") override;
    void DoEvents() override;
    void SetMousePointer(MousePointer pointer) override;
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    std::optional<std::string> ShowOpen(const std::string& filter) override;
    std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& entries) override;
    void Unload() override { unloaded_ = true; }
    void Progress(const std::string& stage, int done, int total) override;
    void EndProgress() override { ++progressEnds_; }
    std::optional<std::string> ShowSave(const std::string& filter,
                                        const std::string& fileName) override;

    const std::vector<Message>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); }
    std::size_t UnansweredQuestions() const { return unscripted_; }
    int DoEventsCount() const { return doEvents_; }
    MousePointer Pointer() const { return pointer_; }
    const std::vector<MousePointer>& PointerHistory() const { return pointerHistory_; }
    bool Enabled() const { return enabled_; }
    bool Unloaded() const { return unloaded_; }
    const std::vector<std::string>& Filters() const { return filters_; }
    const std::vector<ProgressReport>& ProgressReports() const { return progress_; }
    int ProgressEnds() const { return progressEnds_; }
    // The suggested file names of the save dialogs shown, in order.
    const std::vector<std::string>& SaveNames() const { return saveNames_; }
    // The entries of each list shown.
    const std::vector<std::vector<std::string>>& Lists() const { return lists_; }

  private:
    std::deque<MsgAnswer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<int>> choices_;
    std::vector<std::vector<std::string>> lists_;
    std::function<MsgAnswer(const Message&)> fallback_;
    std::function<void(const Message&)> observer_;
    std::function<void()> doEventsHook_;
    std::function<void(const std::string&, int, int)> progressHook_;
    std::deque<std::optional<std::string>> saveFiles_;
    std::vector<std::string> saveNames_;
    std::vector<ProgressReport> progress_;
    int progressEnds_ = 0;
    std::vector<Message> messages_;
    std::vector<std::string> filters_;
    std::vector<MousePointer> pointerHistory_;
    std::size_t unscripted_ = 0;
    int doEvents_ = 0;
    MousePointer pointer_ = MousePointer::Default;
    bool enabled_ = true;
    bool unloaded_ = false;
};

}  // namespace ledgerlift
