#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

namespace ledgerlift {

// Where one cell's text lies in its grid's text store.
struct TextSpan {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The texts of one grid's cells, in blocks of 64 KB that never move: a
// cell's text is a span of a block, so tens of thousands of rows cost their
// text and eight bytes a cell, and the store grows without copying what it
// holds (nor holding it twice while it does). A text longer than a block has
// a block of its own.
//
// Text a cell no longer uses stays behind as garbage until Compact() copies
// the live texts into fresh blocks.
class GridText {
  public:
    GridText() = default;
    GridText(const GridText& other);
    GridText& operator=(const GridText& other);
    GridText(GridText&&) noexcept = default;
    GridText& operator=(GridText&&) noexcept = default;

    // The text of a span; valid until the store is next changed.
    std::string_view View(TextSpan span) const;
    // Puts text where span says and updates span: in the old place when it
    // fits, else in fresh room. text may itself be a view into this store.
    // Throws std::length_error beyond 4 GB of text.
    void Store(TextSpan& span, std::string_view text);
    // A span whose text is no longer wanted.
    void Drop(TextSpan span) { garbage_ += span.length; }
    // Whether most of the store is garbage, and enough of it to be worth a copy.
    bool WantsCompacting() const;
    // Copies the texts of spans into fresh blocks and points spans at them.
    void Compact(std::deque<TextSpan>& spans);

  private:
    static constexpr std::uint32_t kBlock = 64 * 1024;

    struct Block {
        std::unique_ptr<char[]> bytes;  // none for the later parts of a long text's block
        std::uint32_t size = 0;
    };

    char* At(std::uint32_t offset) const {
        return blocks_[offset / kBlock].bytes.get() + offset % kBlock;
    }
    // Room for length bytes; gives where it starts.
    char* Room(std::size_t length, std::uint32_t& offset);

    std::vector<Block> blocks_;
    std::uint32_t used_ = kBlock;  // bytes taken of the last block
    std::size_t stored_ = 0;       // bytes taken of all blocks
    std::size_t garbage_ = 0;      // of them, bytes no cell uses
};

}  // namespace ledgerlift
