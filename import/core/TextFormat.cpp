#include "import/core/TextFormat.h"

namespace ledgerlift {
namespace {

// The encoding as the operator knows it.
std::string EncodingName(const std::string& encoding) {
    if (encoding == "UTF-16LE") {
        return "UTF-16 (little-endian)";
    }
    if (encoding == "UTF-16BE") {
        return "UTF-16 (big-endian)";
    }
    if (encoding == "WINDOWS-1252") {
        return "Windows-1252";
    }
    return encoding;
}

}  // namespace

std::string DelimiterName(char delimiter) {
    switch (delimiter) {
        case ',':
            return "comma";
        case ';':
            return "semicolon";
        case '\t':
            return "tab";
        case '|':
            return "pipe";
        default:
            return std::string("\"") + delimiter + "\"";
    }
}

std::string TextFormatLine(const TextFormat& format) {
    std::string line = "read as " + EncodingName(format.encoding);
    if (format.encodingGiven) {
        line += " (as given)";
    }
    if (format.byteOrderMark) {
        line += " with a byte-order mark";
    }
    line += ", " + DelimiterName(format.delimiter) + "-separated";
    if (format.delimiterGiven) {
        line += " (as given)";
    }
    return line;
}

}  // namespace ledgerlift
