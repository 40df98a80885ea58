#include "reports/CsvField.h"

#include <string_view>

namespace ledgerlift {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string CsvTextField(const std::string& text) {
    // The characters with which spreadsheet programs start a formula (or,
    // for tab and carriage return, skip to one).
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos) {
        return CsvField("'" + text);
    }
    return CsvField(text);
}

}  // namespace ledgerlift
