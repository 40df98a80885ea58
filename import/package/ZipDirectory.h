#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ledgerlift {

// The number of entries that a zip package's end-of-central-directory record
// (or its zip64 record, when the package has one) says it holds, read from
// the file's end as a zip reader finds it: the last record within the
// 64 KB that a package comment may take. Nothing when the file has no such
// record, or cannot be read.
//
// libgsf files each entry into its folder by a walk over the folder's
// entries, so that opening a package costs the square of its entries: the
// count is read first, and a package of more entries than any workbook has
// is refused before libgsf sees it.
std::optional<std::uint64_t> ZipEntryCount(const std::string& path);

// Whether the package at path holds an entry named name in one of its local
// headers, whatever its directory says: a part its directory does not list
// is then in the file, and the directory is what is damaged. Reads the
// whole file; for telling a fault apart, not for reading a package.
bool HoldsLocalEntry(const std::string& path, const std::string& name);

}  // namespace ledgerlift
