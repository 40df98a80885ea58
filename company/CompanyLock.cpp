#include "company/CompanyLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "data/DataError.h"

namespace ledgerlift {
namespace {

const char* UseWord(CompanyUse use) {
    switch (use) {
        case CompanyUse::Restore:
            return "restore";
        case CompanyUse::Check:
            return "check";
        case CompanyUse::Statement:
            return "statement";
        case CompanyUse::Migration:
            break;
    }
    return "migration";
}

// Opens the lock file without following a symbolic link: a link there would
// have this program create or lock whatever file it points to.
int OpenLockFile(const std::string& lockPath, int flags) {
    int fd = ::open(lockPath.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && errno == ELOOP) {
        throw DataError("The lock file " + lockPath +
                        " is a symbolic link, so the company was not taken: Ledgerlift only "
                        "marks a company in a file of its own. Remove the link, then try again.");
    }
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        throw DataError("The lock file " + lockPath +
                        " is not a file, so the company was not taken. Remove it, then try again.");
    }
    return fd;
}

// What the lock file says of its holder: "<use> <process id>", or "".
std::string ReadHolder(const std::string& lockPath) {
    int fd = -1;
    try {
        fd = OpenLockFile(lockPath, O_RDONLY);
    } catch (const DataError&) {
        return "";  // said by Acquire, to whoever takes the company
    }
    if (fd < 0) {
        return "";
    }
    char buf[64] = {};
    ssize_t got = ::pread(fd, buf, sizeof buf - 1, 0);
    ::close(fd);
    return got > 0 ? std::string(buf, static_cast<std::size_t>(got)) : "";
}

bool Alive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

std::string CompanyLock::LockPath(const std::string& databasePath) {
    std::filesystem::path path(databasePath);
    // Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for a
    // short literal + a temporary.
    std::string name = ".";
    name += path.filename().string();
    name += ".migrating";
    return (path.parent_path() / name).string();
}

bool CompanyLock::Acquire(const std::string& databasePath, CompanyUse use) {
    Release();
    std::string lockPath = LockPath(databasePath);
    int fd = OpenLockFile(lockPath, O_RDWR | O_CREAT);
    if (fd < 0) {
        throw DataError("The lock file " + lockPath + " could not be made (" +
                        std::strerror(errno) + "), so the company can't be taken for a run.");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    // Only the holder writes, so what the file says is its holder's. Words
    // that could not be written whole (a full disk) read as no holder: whoever
    // is refused is told in neutral words, and the lock holds all the same.
    std::string holder = std::string(UseWord(use)) + " " + std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) == 0) {
        ssize_t written = ::pwrite(fd_, holder.data(), holder.size(), 0);
        static_cast<void>(written);
    }
    return true;
}

void CompanyLock::Release() {
    if (fd_ >= 0) {
        // Nobody holds it any more. Should the words stay, they name a
        // process that has let go, and the next holder writes over them.
        int emptied = ::ftruncate(fd_, 0);
        static_cast<void>(emptied);
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

std::string CompanyTakenText(const std::string& companyCode, const std::string& databasePath) {
    std::string lockPath = CompanyLock::LockPath(databasePath);
    std::string holder = ReadHolder(lockPath);
    // The holder writes what it is doing just after it took the lock.
    for (int tries = 0; holder.empty() && tries < 10; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        holder = ReadHolder(lockPath);
    }
    std::istringstream in(holder);
    std::string use;
    long pid = 0;
    in >> use >> pid;
    std::string where = " the company " + companyCode + " (" + databasePath + ")";
    std::string as = "; it runs as process " + std::to_string(pid) + ".";
    if (!Alive(pid)) {
        return "Another program is using" + where + ".";
    }
    if (use == "migration") {
        return "Another program is migrating into" + where + as;
    }
    if (use == "restore") {
        return "Another program is restoring" + where + " from a backup" + as;
    }
    if (use == "check") {
        return "Another program is checking a workbook against" + where + as;
    }
    if (use == "statement") {
        return "Another program is writing the opening statement of" + where + as;
    }
    return "Another program is using" + where + ".";
}

}  // namespace ledgerlift
