#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "ui/ProgressMeter.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {

// The window operations of the command line: every message box becomes one
// line on standard error that names its kind; questions are answered by the
// options given, or asked on the terminal.
class ConsoleWindowOps : public ScriptedWindowOps {
  public:
    enum class Answer { Yes, No, Ask };

    ConsoleWindowOps(Answer confirmation, Answer onError);

    // Quiet: no information lines, no progress, and no echo of the
    // confirmation answered by the options; warnings, errors, the questions
    // that report a failure and questions asked on the terminal still show.
    void SetQuiet(bool quiet) {
        quiet_ = quiet;
        showProgress_ = !quiet;
    }
    // Whether progress shows (after SetQuiet, which sets it too).
    void SetShowProgress(bool show) { showProgress_ = show; }
    // Whether the status box's lines are printed on standard output, each as
    // it is appended (off by default).
    void PrintStatusLines(bool print) { printStatusLines_ = print; }
    void StatusLine(const std::string& line) override;
    bool ShowsGrids() const override { return false; }

    // Progress of the load and of each stage on standard error, one line
    // rewritten a few times a second, while standard error is a terminal.
    void Progress(const std::string& stage, int done, int total) override;
    void EndProgress() override;

    // While held, message boxes are kept back; Release prints them, the last
    // one labelled "error" when it told of a failure that ended the command
    // (a workbook that cannot be loaded is fatal, whatever its icon).
    void HoldMessages() { holding_ = true; }
    void ReleaseMessages(bool lastIsFatal);

    static const char* Kind(MsgIcon icon);
    static bool AskOnTerminal(const std::string& question);
    static bool IsConfirmation(const std::string& text);

  private:
    Answer confirmation_;
    Answer onError_;
    bool quiet_ = false;
    bool showProgress_ = true;
    bool progressShown_ = false;
    bool printStatusLines_ = false;
    bool holding_ = false;
    std::vector<Message> held_;
    ProgressMeter meter_;
    std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace ledgerlift
