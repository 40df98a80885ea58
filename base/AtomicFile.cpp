#include "base/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace ledgerlift {

std::string FileFailureReason(int error) {
    switch (error) {
        case ENOSPC:
            return "the disk is full";
        case EDQUOT:
            return "the disk quota is used up";
        case EFBIG:
            return "the file would grow beyond the size this system allows";
        case EROFS:
            return "the disk can only be read";
        case EACCES:
        case EPERM:
            return "there is no permission to write there";
        default:
            return std::strerror(error);
    }
}

void SyncPath(const std::string& path, bool folder) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) {
        throw FileError("The " + std::string(folder ? "folder " : "file ") + path +
                        " could not be opened to flush it to the disk (" +
                        FileFailureReason(errno) + ").");
    }
    int rc = ::fsync(fd);
    int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder; the rename is still atomic.
    if (rc != 0 && !(folder && (error == EINVAL || error == ENOTSUP))) {
        throw FileError("The " + std::string(folder ? "folder " : "file ") + path +
                        " could not be flushed to the disk (" + FileFailureReason(error) + ").");
    }
}

namespace {

// Whether name is what mkstemp made of prefix: the prefix and six more
// characters of its alphabet.
bool TemporaryNameOf(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// Removes what a killed writer of the same final name left under a
// temporary name in folder. A writer at work holds a lock on its temporary
// file until it is renamed, so only files that nobody holds go; links, and
// files of other users, are never touched.
void RemoveLeftovers(const std::filesystem::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        if (!TemporaryNameOf(name, prefix)) {
            continue;
        }
        std::string path = entry.path().string();
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

}  // namespace

AtomicFile::AtomicFile(std::string finalPath) : final_(std::move(finalPath)) {
    namespace fs = std::filesystem;
    fs::path target(final_);
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        throw FileError("The file " + final_ + " cannot be written: " +
                        (fs::exists(folder, ec)
                             ? "its folder " + folder.string() + " is a file, not a folder."
                             : "its folder " + folder.string() + " does not exist."));
    }
    struct stat st {};
    if (::lstat(final_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw FileError("The file " + final_ + " cannot be written: that name is taken by " +
                        (S_ISDIR(st.st_mode) ? "a folder." : "something that is not a file.") +
                        " Choose another name.");
    }
    // Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for a
    // short literal + a temporary.
    std::string name = ".";
    name += target.filename().string();
    name += ".partial-";
    RemoveLeftovers(folder, name);
    std::string pattern = (folder / (name + "XXXXXX")).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        throw FileError("The file " + final_ + " cannot be written in " + folder.string() + " (" +
                        FileFailureReason(errno) + ").");
    }
    // Held until the file takes its name, so that no other writer of the
    // same name takes it for a killed one's leftover.
    ::flock(fd_, LOCK_EX | LOCK_NB);
    ::fchmod(fd_, 0644);
    temporary_ = pattern;
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

void AtomicFile::Write(const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            int error = n < 0 ? errno : ENOSPC;
            throw FileError("The file " + final_ + " could not be written (" +
                            FileFailureReason(error) + "). Nothing was saved under that name.");
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

void AtomicFile::Commit() {
    // Whoever wrote by the temporary name (a library that opens the file
    // itself) wrote through a descriptor of its own: flush by name. The
    // descriptor stays open, and its lock held, until the rename.
    SyncPath(temporary_, false);
    if (::rename(temporary_.c_str(), final_.c_str()) != 0) {
        throw FileError("The file " + final_ + " could not be put in place (" +
                        FileFailureReason(errno) + "). Nothing was saved under that name.");
    }
    committed_ = true;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    std::filesystem::path folder = std::filesystem::path(final_).parent_path();
    SyncPath(folder.empty() ? "." : folder.string(), true);
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    AtomicFile file(path);
    file.Write(bytes);
    file.Commit();
}

void CopyFileAtomically(const std::string& from, const std::string& path) {
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw FileError("The file " + from + " could not be read (" + FileFailureReason(errno) +
                        ").");
    }
    try {
        AtomicFile file(path);
        std::string buffer(1 << 20, '\0');
        while (true) {
            ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                throw FileError("The file " + from + " could not be read (" +
                                FileFailureReason(errno) + ").");
            }
            if (n == 0) {
                break;
            }
            file.Write(buffer.substr(0, static_cast<std::size_t>(n)));
        }
        file.Commit();
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

}  // namespace ledgerlift
