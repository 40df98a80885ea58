#include "ui/ProgressMeter.h"

#include <algorithm>
#include <cmath>

namespace ledgerlift {
namespace {

std::string Plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

bool ProgressMeter::StartsStage(const std::string& stage, int done) const {
    return !active_ || stage != stage_ || done == 0 || done < done_;
}

void ProgressMeter::Report(const std::string& stage, int done, int total, Clock::time_point now) {
    if (StartsStage(stage, done)) {
        stage_ = stage;
        started_ = now;
        firstDone_ = done;
    }
    active_ = true;
    done_ = done;
    total_ = total;
}

std::optional<double> ProgressMeter::RowsPerSecond(Clock::time_point now) const {
    double seconds = std::chrono::duration<double>(now - started_).count();
    int rows = done_ - firstDone_;
    if (!active_ || seconds < 0.25 || rows <= 0) {
        return std::nullopt;
    }
    return rows / seconds;
}

std::optional<double> ProgressMeter::SecondsLeft(Clock::time_point now) const {
    std::optional<double> rate = RowsPerSecond(now);
    if (!rate || total_ <= 0 || done_ >= total_) {
        return std::nullopt;  // nothing to tell, or nothing left
    }
    return std::max(0, total_ - done_) / *rate;
}

std::string ProgressMeter::Text(Clock::time_point now) const {
    if (!active_) {
        return "";
    }
    std::string text =
        stage_ + ": " + Count(done_) + (total_ > 0 ? " of " + Count(total_) + " rows" : " rows");
    if (std::optional<double> rate = RowsPerSecond(now)) {
        text += ", " + Count(std::llround(*rate)) + " rows a second";
    }
    if (std::optional<double> left = SecondsLeft(now)) {
        text += ", " + Duration(*left) + " left";
    }
    return text;
}

std::string ProgressMeter::Count(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

namespace {

// " 5 seconds" after a larger unit, or nothing for none. (Built piece by
// piece: GCC 12 at -O3 reports a false -Wrestrict for " " + a temporary.)
std::string Then(long long n, const char* one, const char* many) {
    if (n <= 0) {
        return {};
    }
    std::string text = Plural(n, one, many);
    text.insert(text.begin(), ' ');
    return text;
}

}  // namespace

std::string ProgressMeter::Duration(double seconds) {
    if (!(seconds >= 0.5)) {  // also NaN
        return "less than a second";
    }
    long long s = std::llround(seconds);
    if (s < 60) {
        return "about " + Plural(s, "second", "seconds");
    }
    if (s < 3600) {
        long long m = s / 60;
        long long rest = s % 60;
        return "about " + Plural(m, "minute", "minutes") + Then(rest, "second", "seconds");
    }
    long long h = s / 3600;
    long long m = (s % 3600) / 60;
    return "about " + Plural(h, "hour", "hours") + Then(m, "minute", "minutes");
}

}  // namespace ledgerlift
