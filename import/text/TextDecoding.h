#pragma once

#include <string>

#include "import/core/TextFormat.h"

namespace ledgerlift {

// A text file's bytes as UTF-8, and how they were read.
struct DecodedText {
    // UTF-8, without the byte-order mark.
    std::string text;
    // The encoding and the mark; the delimiter is left to the caller.
    TextFormat format;
};

// Decodes a text file's bytes. A byte-order mark decides between UTF-8,
// UTF-16 little- and big-endian; without one, bytes that are valid UTF-8 are
// UTF-8 and any others Windows-1252, unless the file also holds UTF-8 text,
// when neither reading is right and the file is refused. A given encoding
// (any name iconv knows) is used instead, and must agree with a mark.
//
// Nothing is ever replaced: a byte that does not decode, or a zero byte
// (which no text holds), throws WorkbookError naming the file and its line.
DecodedText DecodeText(const std::string& path, std::string bytes,
                       const std::string& givenEncoding);

}  // namespace ledgerlift
