#include "import/package/ZipDirectory.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace ledgerlift {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
// The record, a comment of up to 64 KB after it, and room to spare.
constexpr std::size_t kTail = kEndSize + 0xFFFF + 1024;

std::uint64_t Little(const unsigned char* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

bool ReadAt(std::ifstream& in, std::uint64_t offset, std::vector<unsigned char>& bytes) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return in.gcount() == static_cast<std::streamsize>(bytes.size());
}

// The count of the zip64 record that the locator (the 20 bytes before the
// end record) leads to; nothing when they are no locator.
std::optional<std::uint64_t> Zip64Count(std::ifstream& in, const unsigned char* locator) {
    if (Little(locator, 4) != kZip64LocatorSignature) {
        return std::nullopt;
    }
    std::vector<unsigned char> record(kZip64EndSize);
    if (!ReadAt(in, Little(locator + 8, 8), record) ||
        Little(record.data(), 4) != kZip64EndSignature) {
        return std::nullopt;
    }
    return std::max(Little(record.data() + 24, 8), Little(record.data() + 32, 8));
}

}  // namespace

std::optional<std::uint64_t> ZipEntryCount(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(in.tellg());
    const std::uint64_t start = size > kTail ? size - kTail : 0;
    std::vector<unsigned char> tail(static_cast<std::size_t>(size - start));
    if (tail.size() < kEndSize || !ReadAt(in, start, tail)) {
        return std::nullopt;
    }
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        const unsigned char* end = tail.data() + at;
        if (Little(end, 4) != kEndSignature) {
            continue;
        }
        // Entries on this disk and in all: a reader may take either.
        std::uint64_t count = std::max(Little(end + 8, 2), Little(end + 10, 2));
        if (at >= kZip64LocatorSize) {
            if (auto zip64 = Zip64Count(in, end - kZip64LocatorSize)) {
                count = std::max(count, *zip64);
            }
        }
        return count;
    }
    return std::nullopt;
}

bool HoldsLocalEntry(const std::string& path, const std::string& name) {
    constexpr std::size_t kHeaderSize = 30;
    const std::string signature("PK\x03\x04", 4);
    std::ifstream in(path, std::ios::binary);
    // Read in chunks that overlap by a header and its name, so that no
    // header is cut in two.
    const std::size_t overlap = kHeaderSize + name.size();
    std::string window;
    std::vector<char> chunk(1 << 20);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        window.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        for (std::size_t at = window.find(signature); at != std::string::npos;
             at = window.find(signature, at + 1)) {
            if (at + overlap > window.size()) {
                break;
            }
            auto byte = [&](std::size_t k) { return static_cast<unsigned char>(window[at + k]); };
            std::size_t length = byte(26) | (std::size_t{byte(27)} << 8);
            if (length == name.size() && window.compare(at + kHeaderSize, length, name) == 0) {
                return true;
            }
        }
        window.erase(0, window.size() > overlap ? window.size() - overlap : 0);
    }
    return false;
}

}  // namespace ledgerlift
