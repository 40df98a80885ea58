#pragma once

#include <cstdint>
#include <string>

namespace ledgerlift {

// The whole text of a file the program reads (a columns file, a backup's
// note, a run record, a schema). Only a regular file is opened (a symbolic
// link is followed to what it names): a named pipe would block the program
// forever, and a device such as /dev/zero would never end. The file is read
// up to limit bytes, so that a file far larger than any such file can be
// cannot take all the memory.
//
// Throws FileError (see AtomicFile.h) whose sentence begins with what and
// the path ("The columns file /x/c.json can't be read: it is a named pipe,
// not a file.") when the file is missing, is no regular file, is larger
// than limit or can't be read.
std::string ReadRegularFile(const std::string& what, const std::string& path, std::uint64_t limit);

// Why ReadRegularFile would refuse path, without opening it: "it does not
// exist", "it is a named pipe, not a file", ...; "" when it would read it.
std::string RegularFileProblem(const std::string& path, std::uint64_t limit);

// "1 MB", "64 KB", "512 bytes": a limit as the operator reads it.
std::string SizeLimitText(std::uint64_t bytes);

}  // namespace ledgerlift
