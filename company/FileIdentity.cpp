#include "company/FileIdentity.h"

#include <sys/stat.h>

namespace ledgerlift {

namespace fs = std::filesystem;

FileIdentity FileIdentity::Of(const std::string& path) {
    FileIdentity id;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
    }
    std::error_code ec;
    id.name = fs::weakly_canonical(path, ec);
    if (ec) {
        id.name = fs::absolute(path, ec).lexically_normal();
    }
    return id;
}

bool FileIdentity::Same(const FileIdentity& other) const {
    if (exists && other.exists) {
        return device == other.device && inode == other.inode;
    }
    return name == other.name;
}

bool SameFile(const std::string& a, const std::string& b) {
    return FileIdentity::Of(a).Same(FileIdentity::Of(b));
}

bool IsLink(const std::string& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
}

}  // namespace ledgerlift
