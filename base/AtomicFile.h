#pragma once

#include <stdexcept>
#include <string>

namespace ledgerlift {

// A file that could not be written, read or moved; what() is a sentence for
// the operator that names the file and the reason.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that appears whole under its name or not at all. Everything is
// written to a temporary file beside the final one (same folder, so the same
// file system); Commit() flushes it to the disk, renames it over the final
// name and flushes the folder, so that a crash, a kill or a full disk never
// leaves a half-written file under the final name, and an older file of that
// name stays as it was until the new one is complete. Without Commit() the
// temporary file is removed; what a killed writer left under a temporary
// name of the same final name is removed by the next one (a writer at work
// holds a lock on its own until the rename, so it is never taken for one).
class AtomicFile {
  public:
    // Refuses (FileError) a final path whose folder does not exist or is not
    // a folder, or that names something other than a regular file (a folder,
    // a device such as /dev/full).
    explicit AtomicFile(std::string finalPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Where to write: the temporary file, already created and empty.
    const std::string& TemporaryPath() const { return temporary_; }
    const std::string& FinalPath() const { return final_; }

    // Appends bytes to the temporary file.
    void Write(const std::string& bytes);
    // Makes the written file the final one (see above).
    void Commit();

  private:
    std::string final_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
};

// Writes bytes to path through an AtomicFile.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// Copies the file from, byte for byte, to path through an AtomicFile.
void CopyFileAtomically(const std::string& from, const std::string& path);

// Flushes a file's contents, or a folder's entries, to the disk. Throws
// FileError naming it.
void SyncPath(const std::string& path, bool folder);

// The reason of a failed file-system call (errno), as the operator reads it:
// a full disk and a file-size limit are said in plain words.
std::string FileFailureReason(int error);

}  // namespace ledgerlift
