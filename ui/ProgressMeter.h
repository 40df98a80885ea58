#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace ledgerlift {

// How far a long procedure has come, and what that says about the rest: the
// stage's name, rows done of rows, rows per second and the time left, as
// sentences a view shows beside its bar. Plain state; the time is passed in,
// so that the figures can be tested.
class ProgressMeter {
  public:
    using Clock = std::chrono::steady_clock;

    // A report of the procedure (see WindowOps::Progress). A new stage name
    // starts the stage's clock; so does done 0.
    // now is used only when the report starts the stage's clock.
    void Report(const std::string& stage, int done, int total, Clock::time_point now);
    // Whether a report of this would start the stage's clock.
    bool StartsStage(const std::string& stage, int done) const;
    void End() { active_ = false; }

    bool Active() const { return active_; }
    const std::string& Stage() const { return stage_; }
    int Done() const { return done_; }
    // 0 when the stage does not know how many rows it has.
    int Total() const { return total_; }

    // Rows per second since the stage began; nothing until there is enough
    // to go on (a quarter of a second and one row).
    std::optional<double> RowsPerSecond(Clock::time_point now) const;
    // Seconds until the last row at that rate; nothing once it is done.
    std::optional<double> SecondsLeft(Clock::time_point now) const;
    // "Migrating items: 1,200 of 5,000 rows, 840 rows a second, about 5 seconds left".
    std::string Text(Clock::time_point now) const;

    // 12345 as "12,345".
    static std::string Count(long long n);
    // A duration to read at a glance: "about 5 seconds", "about 3 minutes 20
    // seconds", "about 1 hour 5 minutes", "less than a second".
    static std::string Duration(double seconds);

  private:
    bool active_ = false;
    std::string stage_;
    int done_ = 0;
    int total_ = 0;
    int firstDone_ = 0;  // rows done when the stage's clock started
    Clock::time_point started_;
};

}  // namespace ledgerlift
