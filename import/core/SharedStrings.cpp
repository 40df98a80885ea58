#include "import/core/SharedStrings.h"

#include <stdexcept>

namespace ledgerlift {

void SharedStrings::Add(std::string_view text) {
    if (!Fits(text.size())) {
        throw std::length_error("a shared string beyond the table's bound of " +
                                MegabytesText(limit_));
    }
    bytes_.append(text);
    ends_.push_back(bytes_.size());
}

std::string_view SharedStrings::At(std::size_t index) const {
    if (index >= ends_.size()) {
        throw std::out_of_range("shared string " + std::to_string(index) + " of " +
                                std::to_string(ends_.size()));
    }
    std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_).substr(begin, ends_[index] - begin);
}

}  // namespace ledgerlift
