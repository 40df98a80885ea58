#pragma once

#include <chrono>
#include <memory>

#include "migration/CommitBatch.h"

namespace ledgerlift::test {

// A clock that moves only when the test says: a batch ages at once, without
// sleeping for its span.
class TestClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    BatchTiming Timing() const {
        BatchTiming timing;
        timing.now = [now = now_] { return *now; };
        return timing;
    }
    void Advance(std::chrono::milliseconds by) { *now_ += by; }

  private:
    std::shared_ptr<TimePoint> now_ = std::make_shared<TimePoint>();
};

}  // namespace ledgerlift::test
