#include "base/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
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
    name += ".partial-XXXXXX";
    std::string pattern = (folder / name).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        throw FileError("The file " + final_ + " cannot be written in " + folder.string() + " (" +
                        FileFailureReason(errno) + ").");
    }
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
    // itself) wrote through a descriptor of its own: flush by name.
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    SyncPath(temporary_, false);
    if (::rename(temporary_.c_str(), final_.c_str()) != 0) {
        throw FileError("The file " + final_ + " could not be put in place (" +
                        FileFailureReason(errno) + "). Nothing was saved under that name.");
    }
    committed_ = true;
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
