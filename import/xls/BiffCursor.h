#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "import/xls/BiffScanner.h"
#include "import/xls/CodePage.h"

namespace ledgerlift {

// Reads through a record of the workbook stream and the CONTINUE records
// that follow it as one run of bytes. The characters of a string that cross
// into a CONTINUE record start there with a fresh flags byte. Every read
// stays inside the records; a read past their end gives false.
class BiffCursor {
  public:
    using Reader = std::function<bool(std::size_t, BiffScanner::Record&)>;

    // codePage decodes the 8-bit strings of BIFF5.
    BiffCursor(const BiffScanner::Record& first, std::size_t pos, Reader reader,
               const CodePage& codePage)
        : seg_(first.data),
          pos_(pos),
          next_(first.next),
          reader_(std::move(reader)),
          codePage_(codePage) {}

    bool Byte(std::uint8_t& out);
    // A little-endian number of 1 to 4 bytes.
    bool Word(std::uint32_t& out, int bytes);
    bool Skip(std::uint64_t n);
    // A string as UTF-8: its length (one byte or two), then, in BIFF8, a
    // flags byte and the characters, compressed (one byte each) or UTF-16;
    // in BIFF5 bytes of the workbook's code page.
    bool String(bool lengthIsByte, bool biff8, std::string& out);

  private:
    bool NextSegment();

    std::string_view seg_;
    std::size_t pos_;
    std::size_t next_;
    Reader reader_;
    const CodePage& codePage_;
};

}  // namespace ledgerlift
