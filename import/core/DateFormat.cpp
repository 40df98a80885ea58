#include "import/core/DateFormat.h"

namespace ledgerlift {
namespace {

bool IsBuiltInDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool IsDateLetter(char c) {
    switch (c) {
        case 'd':
        case 'D':
        case 'm':
        case 'M':
        case 'y':
        case 'Y':
        case 'h':
        case 'H':
        case 's':
        case 'S':
            return true;
        default:
            return false;
    }
}

// [h], [hh], [mm], [ss]: one letter repeated, nothing else.
bool IsElapsedTime(std::string_view inside) {
    if (inside.empty()) {
        return false;
    }
    char first = static_cast<char>(inside[0] | 0x20);
    if (first != 'h' && first != 'm' && first != 's') {
        return false;
    }
    for (char c : inside) {
        if (static_cast<char>(c | 0x20) != first) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FormatShowsDate(int formatId, std::optional<std::string_view> formatText) {
    if (!formatText) {
        return IsBuiltInDate(formatId);
    }
    std::string_view text = *formatText;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        switch (c) {
            case '"':
                quoted = true;
                break;
            case '\\':
            case '_':
            case '*':
                ++i;  // the next character is shown as it is
                break;
            case '[': {
                std::size_t close = text.find(']', i);
                if (close == std::string_view::npos) {
                    return false;
                }
                if (IsElapsedTime(text.substr(i + 1, close - i - 1))) {
                    return true;
                }
                i = close;
                break;
            }
            case ';':
                return false;
            default:
                if (IsDateLetter(c)) {
                    return true;
                }
        }
    }
    return false;
}

bool FormatShowsPercent(int formatId, std::optional<std::string_view> formatText) {
    if (!formatText) {
        return formatId == 9 || formatId == 10;
    }
    if (FormatShowsDate(formatId, formatText)) {
        return false;
    }
    std::string_view text = *formatText;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == ';') {
            return false;
        } else if (c == '%') {
            return true;
        }
    }
    return false;
}

}  // namespace ledgerlift
