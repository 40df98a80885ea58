#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ledgerlift {

// The shared string table of an .xls or .xlsx workbook: texts by number,
// each stored once however many cells show it. The texts lie end to end in
// one buffer, so a text costs its bytes and eight more.
class SharedStrings {
  public:
    void Add(std::string_view text);
    std::size_t Count() const { return ends_.size(); }
    // The text with this number; valid while the table lives and takes no
    // more texts. Throws std::out_of_range for a number beyond Count().
    std::string_view At(std::size_t index) const;

  private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace ledgerlift
