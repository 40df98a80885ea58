#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledgerlift {

// The 8-bit text of an Excel 5/95 workbook is in the code page that its
// CODEPAGE record declares (the Western one, 1252, when it declares none):
// Windows code pages, the Macintosh ones and the East Asian double-byte ones
// alike. This makes such text UTF-8, with iconv through GLib. A byte that is
// no character of the code page reads as U+FFFD; a code page that iconv does
// not know reads as the Western one.
class CodePage {
  public:
    static constexpr std::uint16_t kWestern = 1252;

    explicit CodePage(std::uint16_t id = kWestern);
    ~CodePage();
    CodePage(CodePage&& other) noexcept;
    CodePage& operator=(CodePage&& other) noexcept;
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // Appends the bytes, made UTF-8, to out.
    void Append(std::string& out, std::string_view bytes) const;

  private:
    void* converter_ = nullptr;  // GIConv
};

}  // namespace ledgerlift
