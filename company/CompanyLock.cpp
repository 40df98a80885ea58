#include "company/CompanyLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "data/DataError.h"

namespace ledgerlift {

std::string CompanyLock::LockPath(const std::string& databasePath) {
    std::filesystem::path path(databasePath);
    // Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for a
    // short literal + a temporary.
    std::string name = ".";
    name += path.filename().string();
    name += ".migrating";
    return (path.parent_path() / name).string();
}

bool CompanyLock::Acquire(const std::string& databasePath) {
    Release();
    std::string lockPath = LockPath(databasePath);
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw DataError("The lock file " + lockPath + " could not be made (" +
                        std::strerror(errno) + "), so the company can't be taken for a run.");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void CompanyLock::Release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace ledgerlift
