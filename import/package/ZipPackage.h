#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "import/core/PartReader.h"
#include "import/package/GObjectPtr.h"

struct _GsfInfile;
struct _GsfInput;

namespace ledgerlift {

// A zip package (an .xlsx or .ods workbook) opened with libgsf. Its parts
// are read as streams, inflated as they are read, and never held whole.
//
// What the parts inflate to is bounded, per part and in total, far above any
// real workbook (the largest part of a 65,000-row workbook is a quarter of
// the per-part bound): a part whose stated size is beyond the bound is
// refused before a byte of it is inflated, and the bytes actually inflated
// are counted against both bounds as they come. A package of more entries
// than any workbook has is refused before it is opened (ZipEntryCount).
class ZipPackage {
  public:
    static constexpr std::uint64_t kPartLimit = std::uint64_t{1} << 30;   // 1 GiB
    static constexpr std::uint64_t kTotalLimit = std::uint64_t{2} << 30;  // 2 GiB
    // A workbook of 255 sheets, each with its relationships, drawings,
    // comments and pictures, has some 2,000 entries.
    static constexpr std::uint64_t kEntryLimit = 10000;

    // Throws WorkbookError when the file is no zip package or a damaged one.
    explicit ZipPackage(std::string path, std::uint64_t partLimit = kPartLimit,
                        std::uint64_t totalLimit = kTotalLimit);
    // The same package opened once more, for another thread to read other
    // parts of; what both inflate counts against the one total bound.
    std::unique_ptr<ZipPackage> Reopen() const;
    ~ZipPackage() = default;
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    const std::string& Path() const { return path_; }
    // Whether the package has a part of this name ("xl/workbook.xml"); the
    // letter case of names need not match, as in any package, and a part
    // written with backslashes ("xl\workbook.xml") is found as well.
    bool Has(const std::string& part) const;
    // The part, to read as a stream; throws WorkbookError naming the part
    // when it is missing or too large.
    std::unique_ptr<PartReader> Open(const std::string& part);
    // A small part whole (at most limit bytes; more is refused).
    std::string ReadSmall(const std::string& part, std::size_t limit);

  private:
    class PartStream;
    // The part's stream, owned by the caller; none when it is missing.
    GObjectPtr<_GsfInput> Find(const std::string& part) const;
    // Whether the directory names the part, readable or not.
    bool Listed(const std::string& part) const;
    std::string MissingPart(const std::string& part) const;

    std::string path_;
    std::uint64_t partLimit_;
    std::uint64_t totalLimit_;
    std::shared_ptr<std::atomic<std::uint64_t>> total_;
    GObjectPtr<_GsfInfile> zip_;
};

}  // namespace ledgerlift
