#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace ledgerlift {

// A path as a file: its device and inode when it exists (a symbolic link
// followed), and its canonical name (the folders' links and ".." resolved),
// so that a hard link, a symbolic link or a path through ".." is seen
// through, and a name not there yet is known by its folder and its own name.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::filesystem::path name;

    static FileIdentity Of(const std::string& path);
    // The same file: by device and inode when both exist, else by name.
    bool Same(const FileIdentity& other) const;
};

// Whether a and b name the same file, or would once it is made.
bool SameFile(const std::string& a, const std::string& b);

// Whether path is itself a symbolic link (not followed).
bool IsLink(const std::string& path);

}  // namespace ledgerlift
