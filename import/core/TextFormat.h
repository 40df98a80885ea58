#pragma once

#include <string>

namespace ledgerlift {

// How a text export (CSV, TSV) is read: the encoding of its bytes and the
// character between its fields. Each text file is one worksheet; the reader
// finds the format of each, unless the operator gives it.
struct TextFormat {
    // The encoding's name as iconv knows it: "UTF-8", "UTF-16LE", "UTF-16BE",
    // "WINDOWS-1252", or the name the operator gave.
    std::string encoding;
    // Whether the file starts with a byte-order mark (which is not read as text).
    bool byteOrderMark = false;
    // ',', ';', '\t' or '|'.
    char delimiter = ',';
    // Whether the operator gave the encoding or the delimiter, rather than the
    // reader finding it.
    bool encodingGiven = false;
    bool delimiterGiven = false;
};

// What the operator asks of the text files of a load: an empty encoding and a
// delimiter of 0 leave each to the reader.
struct TextOptions {
    std::string encoding;
    char delimiter = 0;
};

// "comma", "semicolon", "tab", "pipe"; the character itself for another.
std::string DelimiterName(char delimiter);

// How the file was read, for the load's line: "read as UTF-8 with a byte-order
// mark, comma-separated", "read as Windows-1252, semicolon-separated",
// "read as ISO-8859-15 (as given), tab-separated (as given)".
std::string TextFormatLine(const TextFormat& format);

}  // namespace ledgerlift
