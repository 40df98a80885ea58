#pragma once

#include <bit>
#include <cstdint>

namespace ledgerlift {

// One cell as a sheet store keeps it: 16 bytes, a kind and either a number or
// where the text lies. Texts are not in the cell: a text of the sheet's own is
// a span of the sheet's text bytes, a shared string (.xls, .xlsx) its number
// in the workbook's shared strings, which every cell showing it refers to.
//
// The members carry no initialisers on purpose: room for cells is taken
// without writing it first, and every cell put there is made by one of the
// functions below.
struct StoredCell {
    enum class Kind : std::uint8_t { Empty, Number, Date, Boolean, Text, Shared, Error, Percent };

    Kind kind;
    // Text, Error: the length of the text.
    std::uint32_t length;
    // Number, Date, Boolean, Percent: the number's bits. Text, Error: the offset of the
    // text in the sheet's text bytes. Shared: the shared string's number.
    std::uint64_t bits;

    static constexpr StoredCell Empty() { return {Kind::Empty, 0, 0}; }
    static constexpr StoredCell Number(double v) {
        return {Kind::Number, 0, std::bit_cast<std::uint64_t>(v)};
    }
    static constexpr StoredCell DateSerial(double v) {
        return {Kind::Date, 0, std::bit_cast<std::uint64_t>(v)};
    }
    static constexpr StoredCell Percent(double v) {
        return {Kind::Percent, 0, std::bit_cast<std::uint64_t>(v)};
    }
    static constexpr StoredCell Boolean(bool b) {
        return {Kind::Boolean, 0, std::bit_cast<std::uint64_t>(b ? 1.0 : 0.0)};
    }
    static constexpr StoredCell Shared(std::uint32_t index) { return {Kind::Shared, 0, index}; }

    double NumberValue() const { return std::bit_cast<double>(bits); }
};

static_assert(sizeof(StoredCell) == 16, "a stored cell takes 16 bytes");

}  // namespace ledgerlift
