#pragma once

#include <cstdint>

namespace ledgerlift::test {

// A disk that fills up: while an object of this class lives, every SQLite
// file opened by name grows by at most `bytes` more in all; a write beyond
// that fails as a full disk does (SQLITE_FULL). It is installed as SQLite's
// default file layer, so the program's own connections meet it unchanged.
class DiskQuota {
  public:
    explicit DiskQuota(std::int64_t bytes);
    ~DiskQuota();
    DiskQuota(const DiskQuota&) = delete;
    DiskQuota& operator=(const DiskQuota&) = delete;

    // Lets the files grow by this many more bytes from now on.
    void SetRemaining(std::int64_t bytes);
    bool Exhausted() const;
};

}  // namespace ledgerlift::test
