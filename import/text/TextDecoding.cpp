#include "import/text/TextDecoding.h"

#include <glib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "import/text/TextRefusal.h"

namespace ledgerlift {
namespace {

struct Mark {
    const char* encoding;
    std::string_view bytes;
};

const Mark kMarks[] = {{"UTF-8", std::string_view("\xEF\xBB\xBF", 3)},
                       {"UTF-16LE", std::string_view("\xFF\xFE", 2)},
                       {"UTF-16BE", std::string_view("\xFE\xFF", 2)}};

const Mark* MarkOf(std::string_view bytes) {
    for (const Mark& mark : kMarks) {
        if (bytes.starts_with(mark.bytes)) {
            return &mark;
        }
    }
    return nullptr;
}

std::string ByteText(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// The line (1-based, as an editor counts them: CR LF, LF or a lone CR ends
// one) on which the byte at offset lies.
long LineAt(std::string_view text, std::size_t offset) {
    long line = 1;
    offset = std::min(offset, text.size());
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

// The bytes converted to UTF-8 with iconv, or where they stop converting.
struct Conversion {
    std::string text;
    bool done = false;
    bool cutShort = false;  // the bytes end in the middle of a character
    std::size_t failedAt = 0;
    std::string failure;  // iconv's own words, for a failure of another kind
};

Conversion Convert(std::string_view bytes, const char* from) {
    Conversion out;
    gsize read = 0;
    gsize written = 0;
    GError* error = nullptr;
    gchar* converted = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", from,
                                 &read, &written, &error);
    if (converted != nullptr) {
        out.text.assign(converted, written);
        g_free(converted);
        // A character cut short at the end is left out of a conversion that
        // is otherwise done.
        out.done = read == bytes.size();
        out.cutShort = !out.done;
        out.failedAt = read;
        return out;
    }
    out.failedAt = std::min<std::size_t>(read, bytes.size());
    if (error != nullptr) {
        if (error->domain == G_CONVERT_ERROR && error->code == G_CONVERT_ERROR_PARTIAL_INPUT) {
            out.cutShort = true;
        } else if (error->domain != G_CONVERT_ERROR ||
                   error->code != G_CONVERT_ERROR_ILLEGAL_SEQUENCE) {
            out.failure = error->message;
        }
        g_error_free(error);
    }
    return out;
}

bool KnownEncoding(const std::string& name) {
    GIConv converter = g_iconv_open("UTF-8", name.c_str());
    if (converter == reinterpret_cast<GIConv>(static_cast<std::intptr_t>(-1))) {
        return false;
    }
    g_iconv_close(converter);
    return true;
}

// The line on which a conversion stopped: the bytes before it are text.
long FailedLine(std::string_view bytes, const char* from, std::size_t failedAt) {
    Conversion before = Convert(bytes.substr(0, failedAt), from);
    return LineAt(before.text, before.text.size());
}

// The bytes converted, or the refusal naming the line where they stop.
std::string ConvertOrRefuse(const std::string& path, std::string_view bytes, const char* from,
                            const std::string& what) {
    Conversion done = Convert(bytes, from);
    if (done.done) {
        return std::move(done.text);
    }
    if (!done.failure.empty()) {
        throw TextRefusal(
            path, std::string("its text could not be read as ") + from + " (" + done.failure + ")");
    }
    long line = FailedLine(bytes, from, done.failedAt);
    if (done.cutShort || done.failedAt >= bytes.size()) {
        throw TextRefusal(path, "its last line (" + std::to_string(line) +
                                    ") ends in the middle of a character of " + what);
    }
    throw TextRefusal(path, "line " + std::to_string(line) + " holds bytes (" +
                                ByteText(static_cast<unsigned char>(bytes[done.failedAt])) +
                                " ...) that are not " + what);
}

void RefuseZeroByte(const std::string& path, std::string_view text) {
    std::size_t at = text.find('\0');
    if (at != std::string_view::npos) {
        throw TextRefusal(path, "line " + std::to_string(LineAt(text, at)) +
                                    " holds a zero byte, which no text holds");
    }
}

// Where the first well-formed UTF-8 sequence of two or more bytes starts.
std::optional<std::size_t> FirstUtf8Sequence(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0xC2 && c <= 0xF4) {
            gssize room = static_cast<gssize>(std::min<std::size_t>(4, bytes.size() - i));
            gunichar ch = g_utf8_get_char_validated(bytes.data() + i, room);
            if (ch < 0x110000) {
                return i;
            }
        }
    }
    return std::nullopt;
}

DecodedText WithGivenEncoding(const std::string& path, std::string_view bytes,
                              const std::string& given, const Mark* mark) {
    DecodedText out;
    out.format.encoding = given;
    out.format.encodingGiven = true;
    if (!KnownEncoding(given)) {
        throw TextRefusal(path, "the encoding " + given + " is not one that can be read");
    }
    if (mark != nullptr) {
        // A mark read in the given encoding is the mark again (or nothing, when
        // the encoding reads it as such); anything else would put its bytes
        // into the first heading.
        Conversion read = Convert(mark->bytes, given.c_str());
        if (!(read.done && (read.text.empty() || read.text == kMarks[0].bytes))) {
            throw TextRefusal(path, std::string("it starts with the byte-order mark of ") +
                                        mark->encoding + ", which is not the encoding " + given +
                                        " it was to be read in");
        }
    }
    out.text = ConvertOrRefuse(path, bytes, given.c_str(), given + " text");
    if (out.text.starts_with(kMarks[0].bytes)) {
        out.text.erase(0, kMarks[0].bytes.size());
    }
    out.format.byteOrderMark = mark != nullptr;
    return out;
}

DecodedText WithMark(const std::string& path, std::string bytes, const Mark& mark) {
    DecodedText out;
    out.format.encoding = mark.encoding;
    out.format.byteOrderMark = true;
    bytes.erase(0, mark.bytes.size());
    if (&mark != &kMarks[0]) {  // UTF-16
        std::string what =
            std::string(&mark == &kMarks[1] ? "UTF-16 (little-endian)" : "UTF-16 (big-endian)") +
            ", which its byte-order mark says it is";
        out.text = ConvertOrRefuse(path, bytes, mark.encoding, what);
        return out;
    }
    const gchar* end = nullptr;
    if (!g_utf8_validate_len(bytes.data(), bytes.size(), &end)) {
        auto at = static_cast<std::size_t>(end - bytes.data());
        throw TextRefusal(path,
                          "line " + std::to_string(LineAt(bytes, at)) + " holds bytes (" +
                              ByteText(static_cast<unsigned char>(bytes[at])) +
                              " ...) that are not UTF-8, which its byte-order mark says it is");
    }
    out.text = std::move(bytes);
    return out;
}

DecodedText WithoutMark(const std::string& path, std::string bytes) {
    DecodedText out;
    RefuseZeroByte(path, bytes);
    const gchar* end = nullptr;
    if (g_utf8_validate_len(bytes.data(), bytes.size(), &end)) {
        out.format.encoding = "UTF-8";
        out.text = std::move(bytes);
        return out;
    }
    // A file that holds UTF-8 text and other bytes too was written in two
    // encodings (a UTF-8 file saved again by a program that does not know
    // it): read as Windows-1252, its UTF-8 names would come out garbled.
    auto bad = static_cast<std::size_t>(end - bytes.data());
    if (std::optional<std::size_t> utf8 = FirstUtf8Sequence(bytes)) {
        throw TextRefusal(
            path, "it holds UTF-8 text (line " + std::to_string(LineAt(bytes, *utf8)) +
                      ") and bytes that are not UTF-8 (line " + std::to_string(LineAt(bytes, bad)) +
                      ", " + ByteText(static_cast<unsigned char>(bytes[bad])) +
                      "), so its encoding cannot be told; save it again as UTF-8");
    }
    out.format.encoding = "WINDOWS-1252";
    out.text = ConvertOrRefuse(path, bytes, "WINDOWS-1252", "UTF-8 or Windows-1252 text");
    return out;
}

}  // namespace

DecodedText DecodeText(const std::string& path, std::string bytes,
                       const std::string& givenEncoding) {
    const Mark* mark = MarkOf(bytes);
    DecodedText out;
    if (!givenEncoding.empty()) {
        out = WithGivenEncoding(path, bytes, givenEncoding, mark);
    } else if (mark != nullptr) {
        out = WithMark(path, std::move(bytes), *mark);
    } else {
        out = WithoutMark(path, std::move(bytes));
    }
    RefuseZeroByte(path, out.text);
    return out;
}

}  // namespace ledgerlift
