#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace ledgerlift::test {

// A disk that is full for files beyond a size, for writes that do not go
// through SQLite: while an object of this class lives, no file of this
// process can grow beyond `bytes` (a write past it fails with EFBIG, as one
// on a full disk fails with ENOSPC). It works for every user, root included,
// and needs no file system of its own.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

}  // namespace ledgerlift::test
