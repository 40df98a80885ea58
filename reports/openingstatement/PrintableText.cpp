#include "reports/openingstatement/PrintableText.h"

namespace ledgerlift {
namespace {

const char* const kReplacement = "\xEF\xBF\xBD";

// The length of the valid UTF-8 character at text[i], 0 when there is none.
std::size_t CharacterLength(const std::string& text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length = lead < 0x80   ? 1
                         : lead < 0xC2 ? 0
                         : lead < 0xE0 ? 2
                         : lead < 0xF0 ? 3
                         : lead < 0xF5 ? 4
                                       : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    unsigned char second = length > 1 ? byte(i + 1) : 0;
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

bool Control(const std::string& text, std::size_t i, std::size_t length) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (length == 1) {
        return lead < 0x20 || lead == 0x7F;
    }
    // U+0080 to U+009F, and the line and paragraph separators.
    auto second = static_cast<unsigned char>(text[i + 1]);
    return (length == 2 && lead == 0xC2 && second < 0xA0) ||
           (length == 3 && lead == 0xE2 && second == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
             static_cast<unsigned char>(text[i + 2]) == 0xA9));
}

}  // namespace

std::string PrintableText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = CharacterLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else if (Control(text, i, length)) {
            out += ' ';
            i += length;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

}  // namespace ledgerlift
