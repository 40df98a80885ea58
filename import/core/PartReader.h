#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ledgerlift {

// The bytes of one part of a workbook package (an XML file inside the zip),
// read front to back in chunks, with the names that messages give.
class PartReader {
  public:
    PartReader(std::string workbook, std::string part)
        : workbook_(std::move(workbook)), part_(std::move(part)) {}
    virtual ~PartReader() = default;
    PartReader(const PartReader&) = delete;
    PartReader& operator=(const PartReader&) = delete;

    // Fills up to size bytes and gives how many; 0 at the end of the part.
    // Throws WorkbookError when the part can't be read on.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;

    // The workbook's path and the part's name inside it.
    const std::string& Workbook() const { return workbook_; }
    const std::string& Part() const { return part_; }

  private:
    std::string workbook_;
    std::string part_;
};

// A part held in memory (tests, fuzzing).
class MemoryPart : public PartReader {
  public:
    MemoryPart(std::string_view bytes, std::string workbook = "(memory)",
               std::string part = "part.xml")
        : PartReader(std::move(workbook), std::move(part)), bytes_(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        std::size_t n = bytes_.copy(buffer, size, pos_);
        pos_ += n;
        return n;
    }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace ledgerlift
