#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/core/TextBound.h"

namespace ledgerlift {

// The shared string table of an .xls or .xlsx workbook: texts by number,
// each stored once however many cells show it. The texts lie end to end in
// one buffer, so a text costs its bytes and eight more.
//
// What the table takes is bounded (kMaxHeldText by default): a table of one
// huge text, or of millions of empty ones, is refused by its reader, which
// asks Fits before each Add.
class SharedStrings {
  public:
    explicit SharedStrings(std::uint64_t limit = kMaxHeldText) : limit_(limit) {}

    // Whether one more text of this size stays within the bound.
    bool Fits(std::size_t textSize) const {
        return Bytes() + textSize + sizeof(std::size_t) <= limit_;
    }
    // Throws std::length_error when the text does not fit: the readers ask
    // Fits first, and refuse the workbook with a sentence of their own.
    void Add(std::string_view text);
    std::size_t Count() const { return ends_.size(); }
    // What the texts take: their bytes and eight for each.
    std::uint64_t Bytes() const { return bytes_.size() + ends_.size() * sizeof(std::size_t); }
    std::uint64_t Limit() const { return limit_; }
    // The text with this number; valid while the table lives and takes no
    // more texts. Throws std::out_of_range for a number beyond Count().
    std::string_view At(std::size_t index) const;

  private:
    std::uint64_t limit_;
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace ledgerlift
