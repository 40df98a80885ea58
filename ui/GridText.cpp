#include "ui/GridText.h"

#include <cstring>
#include <stdexcept>

namespace ledgerlift {
namespace {

// Below this much garbage the store is never copied.
constexpr std::size_t kCompactAbove = 1 << 20;
// Offsets are 32 bits: the blocks span at most this many bytes.
constexpr std::size_t kSpace = std::size_t{1} << 32;

}  // namespace

GridText::GridText(const GridText& other)
    : used_(other.used_), stored_(other.stored_), garbage_(other.garbage_) {
    blocks_.reserve(other.blocks_.size());
    for (const Block& b : other.blocks_) {
        Block copy;
        copy.size = b.size;
        if (b.bytes) {
            copy.bytes.reset(new char[b.size]);
            std::memcpy(copy.bytes.get(), b.bytes.get(), b.size);
        }
        blocks_.push_back(std::move(copy));
    }
}

GridText& GridText::operator=(const GridText& other) {
    if (this != &other) {
        GridText copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::string_view GridText::View(TextSpan span) const {
    if (span.length == 0) {
        return std::string_view("", 0);
    }
    return std::string_view(At(span.offset), span.length);
}

char* GridText::Room(std::size_t length, std::uint32_t& offset) {
    if (length <= kBlock - used_) {
        offset = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlock + used_);
        char* room = blocks_.back().bytes.get() + used_;
        used_ += static_cast<std::uint32_t>(length);
        return room;
    }
    std::size_t blocks = length <= kBlock ? 1 : (length + kBlock - 1) / kBlock;
    if ((blocks_.size() + blocks) * kBlock > kSpace) {
        throw std::length_error("more than 4 GB of text");
    }
    offset = static_cast<std::uint32_t>(blocks_.size() * kBlock);
    std::size_t size = length <= kBlock ? kBlock : length;
    Block block;
    block.bytes.reset(new char[size]);
    block.size = static_cast<std::uint32_t>(size);
    char* room = block.bytes.get();
    blocks_.push_back(std::move(block));
    for (std::size_t i = 1; i < blocks; ++i) {
        blocks_.emplace_back();  // the long text's further 64 KB of offsets
    }
    used_ = length <= kBlock ? static_cast<std::uint32_t>(length) : kBlock;
    return room;
}

void GridText::Store(TextSpan& span, std::string_view text) {
    if (text.size() <= span.length) {
        // In place; the text may be this very cell's (memmove).
        if (!text.empty()) {
            std::memmove(At(span.offset), text.data(), text.size());
        }
        garbage_ += span.length - text.size();
        span.length = static_cast<std::uint32_t>(text.size());
        return;
    }
    if (text.size() >= kSpace) {
        throw std::length_error("more than 4 GB of text");
    }
    // Blocks never move: a text inside the store stays where it is while
    // fresh room is taken.
    std::uint32_t offset = 0;
    char* room = Room(text.size(), offset);
    std::memcpy(room, text.data(), text.size());
    stored_ += text.size();
    garbage_ += span.length;
    span = TextSpan{offset, static_cast<std::uint32_t>(text.size())};
}

bool GridText::WantsCompacting() const {
    return garbage_ >= kCompactAbove && garbage_ * 2 >= stored_;
}

void GridText::Compact(std::deque<TextSpan>& spans) {
    GridText fresh;
    for (TextSpan& span : spans) {
        TextSpan moved;
        fresh.Store(moved, View(span));
        span = moved;
    }
    *this = std::move(fresh);
}

}  // namespace ledgerlift
