#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qt/QtWindowOps.h"

namespace ledgerlift::bench {

inline double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

class Stopwatch {
  public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The real Qt window operations, with the file dialog and the message boxes
// answered without an operator.
class UnattendedQtOps : public QtWindowOps {
  public:
    std::string file;
    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon,
                     const std::string& = "") override {
        std::fprintf(stderr, "  [message] %s\n", text.c_str());
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::OK;
    }
    std::optional<std::string> ShowOpen(const std::string&) override { return file; }
};

// Writes a workbook with the given numbers of item and ledger rows.
inline void MakeWorkbook(const std::string& path, int items, int ledgers, int categories) {
    std::string command =
        "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR "/scripts/make_big_workbook.py " + path + " " +
        std::to_string(items) + " " + std::to_string(ledgers) + " " + std::to_string(categories);
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not write the workbook: %s\n", command.c_str());
        std::exit(1);
    }
}

}  // namespace ledgerlift::bench
