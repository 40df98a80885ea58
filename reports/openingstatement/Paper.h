#pragma once

#include <optional>
#include <string>

namespace ledgerlift {

// The paper a statement is laid out for.
enum class Paper { A4, Letter };

struct PaperSize {
    double width;  // points (1/72 inch)
    double height;
    const char* css;  // as a print style names it
};

inline PaperSize SizeOf(Paper paper) {
    return paper == Paper::Letter ? PaperSize{612, 792, "letter"}
                                  : PaperSize{595.276, 841.89, "A4"};
}

// "a4" or "letter", in any letter case; nothing for any other name.
std::optional<Paper> PaperNamed(const std::string& name);

}  // namespace ledgerlift
