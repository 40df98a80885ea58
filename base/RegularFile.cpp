#include "base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/AtomicFile.h"

namespace ledgerlift {
namespace {

// What a file that is not a regular one is, in the operator's words.
const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder, not a file";
    }
    if (S_ISFIFO(mode)) {
        return "it is a named pipe, not a file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a file";
    }
    return "it is not a regular file";
}

[[noreturn]] void Refuse(const std::string& what, const std::string& path, const std::string& why) {
    std::string sentence = what;
    sentence += ' ';
    sentence += path;
    sentence += " can't be read: ";
    sentence += why;
    sentence += '.';
    throw FileError(sentence);
}

std::string Reason(int error) {
    return error == ENOENT ? "it does not exist" : FileFailureReason(error);
}

std::string TooLarge(std::uint64_t limit) {
    return "it is larger than " + SizeLimitText(limit) + ", far more than such a file holds";
}

// Reads from fd until its end, or until more than limit bytes came.
std::string ReadAll(int fd, const std::string& what, const std::string& path, std::uint64_t limit) {
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Refuse(what, path, Reason(errno));
        }
        if (n == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > limit) {
            Refuse(what, path, TooLarge(limit));
        }
    }
}

}  // namespace

std::string SizeLimitText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) {
        return std::to_string(bytes >> 20) + " MB";
    }
    if (bytes >= 1024 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + " KB";
    }
    return std::to_string(bytes) + " bytes";
}

std::string RegularFileProblem(const std::string& path, std::uint64_t limit) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return Reason(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return KindOf(st.st_mode);
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        return TooLarge(limit);
    }
    return "";
}

std::string ReadRegularFile(const std::string& what, const std::string& path, std::uint64_t limit) {
    if (std::string problem = RegularFileProblem(path, limit); !problem.empty()) {
        Refuse(what, path, problem);
    }
    // Not blocking: should a pipe take the file's place after the look
    // above, opening it returns at once, and the second look refuses it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        Refuse(what, path, Reason(errno));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        Refuse(what, path, KindOf(opened.st_mode));
    }
    try {
        std::string text = ReadAll(fd, what, path, limit);
        ::close(fd);
        return text;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

}  // namespace ledgerlift
