#include "cli/ConsoleWindowOps.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace ledgerlift {
namespace {

// A message's lines joined by one space each: a terminal line per message.
std::string OneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool lineEnd = text[i] == '\r' || text[i] == '\n';
        if (!lineEnd) {
            line += text[i];
        } else if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            line += ' ';
        }
    }
    return line;
}

}  // namespace

ConsoleWindowOps::ConsoleWindowOps(Answer confirmation, Answer onError)
    : confirmation_(confirmation), onError_(onError) {
    SetObserver([this](const Message& m) {
        EndProgress();
        if (m.buttons != MsgButtons::OK || (quiet_ && m.icon == MsgIcon::Information)) {
            return;
        }
        if (holding_) {
            held_.push_back(m);
            return;
        }
        std::fprintf(stderr, "%s: %s\n", Kind(m.icon), OneLine(m.text).c_str());
    });
    SetFallback([this](const Message& m) {
        Answer answer = IsConfirmation(m.text) ? confirmation_ : onError_;
        bool yes = answer == Answer::Yes;
        if (answer == Answer::Ask) {
            yes = AskOnTerminal(OneLine(m.text));
        } else if (!(quiet_ && IsConfirmation(m.text))) {
            // A failure's question names the failure: it shows even when quiet.
            std::fprintf(stderr, "question: %s (answered %s)\n", OneLine(m.text).c_str(),
                         yes ? "Yes" : "No");
        }
        return yes ? MsgAnswer::Yes : MsgAnswer::No;
    });
}

void ConsoleWindowOps::ReleaseMessages(bool lastIsFatal) {
    holding_ = false;
    for (std::size_t i = 0; i < held_.size(); ++i) {
        bool fatal = lastIsFatal && i + 1 == held_.size();
        std::fprintf(stderr, "%s: %s\n", fatal ? "error" : Kind(held_[i].icon),
                     OneLine(held_[i].text).c_str());
    }
    held_.clear();
}

const char* ConsoleWindowOps::Kind(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Exclamation:
            return "warning";
        case MsgIcon::Question:
            return "question";
        case MsgIcon::Information:
            return "information";
        case MsgIcon::Critical:
        case MsgIcon::None:
            break;
    }
    return "error";
}

bool ConsoleWindowOps::IsConfirmation(const std::string& text) {
    return text.rfind("Are you to continue with Migratiion", 0) == 0;
}

bool ConsoleWindowOps::AskOnTerminal(const std::string& question) {
    std::fprintf(stderr, "question: %s [y/N] ", question.c_str());
    std::fflush(stderr);
    std::string reply;
    if (!std::getline(std::cin, reply)) {
        std::fprintf(stderr, "\n");
        return false;
    }
    return reply == "y" || reply == "Y" || reply == "yes" || reply == "Yes" || reply == "YES";
}

void ConsoleWindowOps::Progress(const std::string& stage, int done, int total) {
    static const bool terminal = isatty(STDERR_FILENO);
    if (!terminal || !showProgress_) {
        return;
    }
    auto now = std::chrono::steady_clock::now();
    bool newStage = !meter_.Active() || meter_.Stage() != stage;
    meter_.Report(stage, done, total, now);
    if (newStage) {
        EndProgress();
    } else if (now - lastShown_ < std::chrono::milliseconds(250) && done != total) {
        return;
    }
    lastShown_ = now;
    std::fprintf(stderr, "\r\033[K%s", meter_.Text(now).c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void ConsoleWindowOps::EndProgress() {
    if (progressShown_) {
        std::fprintf(stderr, "\n");
        progressShown_ = false;
    }
}

void ConsoleWindowOps::StatusLine(const std::string& line) {
    if (!printStatusLines_) {
        return;
    }
    EndProgress();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace ledgerlift
