#pragma once

#include <chrono>

namespace ledgerlift {

// How long a call on a database waits for a lock that another program holds
// before it gives up: long enough for another program's commit to end, short
// enough that the operator hears of a database held for good. Every opening
// of a database takes it unless told otherwise (the tests wait less).
inline constexpr std::chrono::milliseconds kDefaultLockWait{5000};

}  // namespace ledgerlift
