#include "import/text/TextReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "import/core/WorkbookFile.h"
#include "import/text/TextSheet.h"

namespace ledgerlift {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Refuses the file at `at` when an earlier one is the same file or gives a
// worksheet of the same name.
void RefuseRepeat(const std::vector<std::string>& paths, std::size_t at) {
    namespace fs = std::filesystem;
    for (std::size_t i = 0; i < at; ++i) {
        std::error_code error;
        if (fs::equivalent(paths[i], paths[at], error)) {
            throw WorkbookError("The file " + paths[at] + " is given twice.");
        }
        std::string name = fs::path(paths[at]).stem().string();
        if (SameName(fs::path(paths[i]).stem().string(), name)) {
            throw WorkbookError("The files " + paths[i] + " and " + paths[at] +
                                " would both be the worksheet \"" + name +
                                "\": rename one of them and load them again.");
        }
    }
}

bool ControlCharacter(unsigned unit) {
    return (unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\r' && unit != '\f') ||
           unit == 0x7F;
}

// Whether the 16-bit units (little- or big-endian) after a mark are text.
bool IsUtf16Text(std::string_view units, bool littleEndian) {
    bool first = true;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        auto lo = static_cast<unsigned char>(units[littleEndian ? i : i + 1]);
        auto hi = static_cast<unsigned char>(units[littleEndian ? i + 1 : i]);
        unsigned unit = (hi << 8) | lo;
        if (ControlCharacter(unit)) {
            return false;
        }
        if (first && unit != ' ' && unit != '\t' && unit != '\n' && unit != '\r') {
            if (unit == '<') {
                return false;
            }
            first = false;
        }
    }
    return true;
}

}  // namespace

void TextReader::Open(const std::string& path) {
    OpenFiles({path});
}

void TextReader::OpenFiles(const std::vector<std::string>& paths) {
    Close();
    if (paths.empty()) {
        CheckReadableFile("");  // throws: nothing was chosen
    }
    std::vector<StoredSheet> sheets;
    std::vector<TextFormat> formats(paths.size());
    std::uint64_t heldBytes = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        RefuseRepeat(paths, i);
        sheets.push_back(ReadTextSheet(paths[i], options_, formats[i], heldBytes));
    }
    std::string all = paths[0];
    for (std::size_t i = 1; i < paths.size(); ++i) {
        all += ", " + paths[i];
    }
    Loaded(all, std::move(sheets));
    formats_ = std::move(formats);
}

std::optional<TextFormat> TextReader::TextFormatOf(int sheet) const {
    SheetName(sheet);  // throws for a sheet that is not there
    return formats_[static_cast<std::size_t>(sheet) - 1];
}

void TextReader::Close() {
    StoredWorkbook::Close();
    formats_.clear();
}

bool TextReader::IsText(std::string_view head) {
    if (head.empty()) {
        return false;  // nothing to tell a format by
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        return IsUtf16Text(head.substr(2), head[0] == '\xFF');
    }
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    }
    if (std::ranges::any_of(
            head, [](char c) { return ControlCharacter(static_cast<unsigned char>(c)); })) {
        return false;
    }
    std::size_t first = head.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos || head[first] != '<';
}

}  // namespace ledgerlift
