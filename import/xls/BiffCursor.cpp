#include "import/xls/BiffCursor.h"

#include <algorithm>

#include "import/core/Utf8.h"

namespace ledgerlift {
namespace {

constexpr std::uint16_t kContinue = 0x003C;

}  // namespace

bool BiffCursor::Byte(std::uint8_t& out) {
    if (pos_ >= seg_.size() && !NextSegment()) {
        return false;
    }
    out = static_cast<std::uint8_t>(seg_[pos_++]);
    return true;
}

bool BiffCursor::Word(std::uint32_t& out, int bytes) {
    out = 0;
    for (int i = 0; i < bytes; ++i) {
        std::uint8_t b;
        if (!Byte(b)) {
            return false;
        }
        out |= static_cast<std::uint32_t>(b) << (8 * i);
    }
    return true;
}

bool BiffCursor::Skip(std::uint64_t n) {
    while (n > 0) {
        if (pos_ >= seg_.size() && !NextSegment()) {
            return false;
        }
        std::uint64_t step = std::min<std::uint64_t>(n, seg_.size() - pos_);
        pos_ += static_cast<std::size_t>(step);
        n -= step;
    }
    return true;
}

bool BiffCursor::String(bool lengthIsByte, bool biff8, std::string& out) {
    std::uint32_t count;
    if (!Word(count, lengthIsByte ? 1 : 2)) {
        return false;
    }
    out.clear();
    if (!biff8) {
        std::string bytes;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t b;
            if (!Byte(b)) {
                return false;
            }
            bytes += static_cast<char>(b);
        }
        codePage_.Append(out, bytes);
        return true;
    }
    std::uint8_t flags;
    if (!Byte(flags)) {
        return false;
    }
    std::uint32_t runs = 0, extra = 0;
    if ((flags & 0x08) && !Word(runs, 2)) {
        return false;
    }
    if ((flags & 0x04) && !Word(extra, 4)) {
        return false;
    }
    bool wide = flags & 0x01;
    std::uint32_t pendingHigh = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (pos_ >= seg_.size()) {
            std::uint8_t fresh;
            if (!NextSegment() || !Byte(fresh)) {
                return false;
            }
            wide = fresh & 0x01;
        }
        std::uint32_t unit;
        if (!Word(unit, wide ? 2 : 1)) {
            return false;
        }
        if (unit >= 0xD800 && unit < 0xDC00) {
            pendingHigh = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh) {
            AppendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
        } else {
            AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
        pendingHigh = 0;
    }
    return Skip(std::uint64_t{runs} * 4 + extra);
}

bool BiffCursor::NextSegment() {
    BiffScanner::Record more;
    if (!reader_(next_, more) || more.type != kContinue) {
        return false;
    }
    seg_ = more.data;
    pos_ = 0;
    next_ = more.next;
    return true;
}

}  // namespace ledgerlift
