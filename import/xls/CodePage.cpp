#include "import/xls/CodePage.h"

#include <glib.h>

#include <cerrno>
#include <cstdint>
#include <utility>

namespace ledgerlift {
namespace {

// What g_iconv_open gives for a conversion it does not know.
const GIConv kNoConverter = reinterpret_cast<GIConv>(static_cast<std::intptr_t>(-1));

// The names iconv knows a code page by, the usual one first.
std::string IconvName(std::uint16_t id) {
    switch (id) {
        case 367:    // US-ASCII: bytes above 127 are the Western ones
        case 1200:   // UTF-16, which 8-bit text cannot be
        case 32769:  // the Western code page of Excel 2.x
            return "CP1252";
        case 10000:
        case 32768:  // Macintosh Roman, as older files give it
            return "MACINTOSH";
        case 10007:
            return "MAC-CYRILLIC";
        case 10029:
            return "MAC-CENTRALEUROPE";
        case 65001:
            return "UTF-8";
        default:
            return "CP" + std::to_string(id);
    }
}

GIConv Open(std::uint16_t id) {
    GIConv converter = g_iconv_open("UTF-8", IconvName(id).c_str());
    if (converter == kNoConverter) {
        converter = g_iconv_open("UTF-8", "CP1252");
    }
    return converter;
}

}  // namespace

CodePage::CodePage(std::uint16_t id) : converter_(Open(id)) {}

CodePage::~CodePage() {
    if (converter_ != kNoConverter && converter_ != nullptr) {
        g_iconv_close(static_cast<GIConv>(converter_));
    }
}

CodePage::CodePage(CodePage&& other) noexcept
    : converter_(std::exchange(other.converter_, nullptr)) {}

CodePage& CodePage::operator=(CodePage&& other) noexcept {
    if (this != &other) {
        CodePage gone(std::move(*this));
        converter_ = std::exchange(other.converter_, nullptr);
    }
    return *this;
}

void CodePage::Append(std::string& out, std::string_view bytes) const {
    auto converter = static_cast<GIConv>(converter_);
    if (converter == nullptr || converter == kNoConverter) {
        for (char c : bytes) {  // no iconv at all: Latin-1, as a last resort
            out += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : "\xEF\xBF\xBD";
        }
        return;
    }
    g_iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    auto* in = const_cast<gchar*>(bytes.data());
    gsize inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        gchar* to = buffer;
        gsize toLeft = sizeof buffer;
        gsize done = g_iconv(converter, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (done == static_cast<gsize>(-1) && errno != E2BIG) {
            // A byte that is no character here (or a character cut short).
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
            g_iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

}  // namespace ledgerlift
