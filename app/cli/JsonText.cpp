#include "app/cli/JsonText.h"

#include <cstdio>

#include "base/Utf8Text.h"

namespace ledgerlift {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    char escape[8];
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = Utf8CharacterLength(text, i);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n' || c == '\r' || c == '\t') {
            out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        } else if (c < 0x20 || length == 0) {
            // A control character, or a byte that starts no valid character
            // (a file name may hold any byte): written as the character of
            // its number, so that the output stays valid UTF-8 and JSON.
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out.append(text, i, length);
            i += length;
            continue;
        }
        ++i;
    }
    return out + "\"";
}

}  // namespace ledgerlift
