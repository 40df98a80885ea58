#include "import/BiffScanner.h"

#include <cstring>

namespace ledgerlift {
namespace {

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kBof5 = 0x0009;  // older versions, not read further
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kFormat5 = 0x001E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::size_t kMaxCellsPerSheet = 4u << 20;  // far beyond any real sheet

std::uint16_t U16(std::string_view d, std::size_t pos) {
    if (pos + 2 > d.size()) {
        return 0;
    }
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[pos]) |
                                      (static_cast<unsigned char>(d[pos + 1]) << 8));
}

std::uint32_t U32(std::string_view d, std::size_t pos) {
    return static_cast<std::uint32_t>(U16(d, pos)) |
           (static_cast<std::uint32_t>(U16(d, pos + 2)) << 16);
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string BiffScanner::ErrorText(std::uint8_t code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
        default:
            return "#N/A";
    }
}

bool BiffScanner::FormatShowsDate(std::uint16_t formatIndex, const std::string& formatText) {
    if ((formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 27 && formatIndex <= 36) ||
        (formatIndex >= 45 && formatIndex <= 47) || (formatIndex >= 50 && formatIndex <= 58)) {
        return true;
    }
    // A format of its own shows a date when a date or time letter stands
    // outside quoted text, escapes and [colour] or [condition] brackets.
    bool quoted = false;
    for (std::size_t i = 0; i < formatText.size(); ++i) {
        char c = formatText[i];
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
                auto close = formatText.find(']', i);
                std::string inside = formatText.substr(
                    i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
                // [h], [mm] and [ss] are elapsed times; anything else is a
                // colour, a condition or a locale.
                if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string::npos) {
                    return true;
                }
                if (close == std::string::npos) {
                    return false;
                }
                i = close;
                break;
            }
            case ';':
                return false;  // the first section decides
            default:
                if (std::strchr("dDmMyYhHsS", c) && c != '\0') {
                    return true;
                }
        }
    }
    return false;
}

bool BiffScanner::IsDateFormat(std::uint16_t xf) const {
    if (xf >= xfFormat_.size()) {
        return false;
    }
    std::uint16_t format = xfFormat_[xf];
    auto it = formats_.find(format);
    return FormatShowsDate(format, it == formats_.end() ? std::string() : it->second);
}

bool BiffScanner::ReadRecord(std::string_view stream, std::size_t offset, Record& out) const {
    if (offset + 4 > stream.size()) {
        return false;
    }
    std::uint16_t length = U16(stream, offset + 2);
    if (offset + 4 + length > stream.size()) {
        return false;
    }
    out = Record{U16(stream, offset), stream.substr(offset + 4, length), offset + 4 + length};
    return true;
}

// An XLUnicodeString (BIFF8) or a byte string (BIFF5) starting at pos of the
// record; a BIFF8 string may go on in the CONTINUE records that follow, each
// starting with a fresh flags byte.
std::string BiffScanner::ReadString(std::string_view stream, const Record& record, std::size_t pos,
                                    bool lengthIsByte) const {
    std::string_view d = record.data;
    std::size_t count =
        lengthIsByte ? (pos < d.size() ? static_cast<unsigned char>(d[pos]) : 0) : U16(d, pos);
    pos += lengthIsByte ? 1 : 2;
    std::string out;
    if (biffVersion_ < 8) {
        for (std::size_t i = 0; i < count && pos + i < d.size(); ++i) {
            AppendUtf8(out, static_cast<unsigned char>(d[pos + i]));
        }
        return out;
    }
    if (pos >= d.size()) {
        return out;
    }
    std::uint8_t flags = static_cast<std::uint8_t>(d[pos++]);
    // Rich text runs and phonetic data come before the characters.
    if (flags & 0x08) {
        pos += 2;
    }
    if (flags & 0x04) {
        pos += 4;
    }
    bool wide = flags & 0x01;
    std::size_t next = record.next;
    std::uint32_t pendingHigh = 0;
    while (count > 0) {
        if (pos >= d.size()) {
            Record more{};
            if (!ReadRecord(stream, next, more) || more.type != kContinue || more.data.empty()) {
                break;
            }
            d = more.data;
            next = more.next;
            wide = static_cast<std::uint8_t>(d[0]) & 0x01;
            pos = 1;
            continue;
        }
        std::uint32_t unit;
        if (wide) {
            if (pos + 2 > d.size()) {
                break;
            }
            unit = U16(d, pos);
            pos += 2;
        } else {
            unit = static_cast<unsigned char>(d[pos++]);
        }
        --count;
        if (unit >= 0xD800 && unit < 0xDC00) {
            pendingHigh = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh) {
            AppendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
        } else {
            AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
        pendingHigh = 0;
    }
    return out;
}

void BiffScanner::Scan(std::string_view stream) {
    *this = BiffScanner();
    ScanGlobals(stream);
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        ScanSheet(stream, sheetOffsets_[i], sheets_[i]);
    }
}

void BiffScanner::ScanGlobals(std::string_view stream) {
    Record r{};
    std::size_t offset = 0;
    if (!ReadRecord(stream, offset, r) || (r.type != kBof && r.type != kBof5)) {
        return;
    }
    biffVersion_ = U16(r.data, 0) == 0x0600 ? 8 : 5;
    offset = r.next;
    while (ReadRecord(stream, offset, r) && r.type != kEof) {
        switch (r.type) {
            case kFilePass:
                encrypted_ = true;
                break;
            case kDateMode:
                date1904_ = U16(r.data, 0) == 1;
                break;
            case kFormat:
            case kFormat5:
                formats_[U16(r.data, 0)] = ReadString(stream, r, 2, biffVersion_ < 8);
                break;
            case kXf:
                xfFormat_.push_back(U16(r.data, 2));
                break;
            case kBoundSheet: {
                std::uint8_t kind = r.data.size() > 5 ? static_cast<std::uint8_t>(r.data[5]) : 0xFF;
                if (kind == 0) {
                    Sheet sheet;
                    sheet.name = ReadString(stream, r, 6, true);
                    sheets_.push_back(std::move(sheet));
                    sheetOffsets_.push_back(U32(r.data, 0));
                }
                break;
            }
            default:
                break;
        }
        offset = r.next;
    }
}

CellValue BiffScanner::FormulaValue(std::string_view stream, const Record& record) const {
    std::string_view d = record.data;
    if (d.size() < 14) {
        return CellValue::Empty();
    }
    std::string_view result = d.substr(6, 8);
    if (U16(result, 6) == 0xFFFF) {
        switch (static_cast<std::uint8_t>(result[0])) {
            case 0: {  // a text; its characters follow in a STRING record
                std::size_t offset = record.next;
                Record next{};
                // Shared and array formula records may stand in between.
                for (int skip = 0; skip < 4 && ReadRecord(stream, offset, next); ++skip) {
                    if (next.type == kString) {
                        return CellValue::Text(ReadString(stream, next, 0, biffVersion_ < 8));
                    }
                    offset = next.next;
                }
                return CellValue::Text("");
            }
            case 1:
                return CellValue::Boolean(result[2] != 0);
            case 2:
                return CellValue::Error(ErrorText(static_cast<std::uint8_t>(result[2])));
            case 3:
                return CellValue::Text("");
            default:
                return CellValue::Empty();
        }
    }
    double number;
    std::memcpy(&number, result.data(), sizeof number);
    if (IsDateFormat(U16(d, 4))) {
        return CellValue::DateSerial(date1904_ ? number + 1462 : number);
    }
    return CellValue::Number(number);
}

void BiffScanner::ScanSheet(std::string_view stream, std::size_t offset, Sheet& sheet) {
    Record r{};
    if (!ReadRecord(stream, offset, r) || r.type != kBof) {
        return;
    }
    offset = r.next;
    while (ReadRecord(stream, offset, r) && r.type != kEof && r.type != kBof) {
        if (sheet.cells.size() >= kMaxCellsPerSheet) {
            return;
        }
        if (r.type == kFormula && r.data.size() >= 14) {
            sheet.cells[Key(U16(r.data, 0), U16(r.data, 2))] = FormulaValue(stream, r);
        } else if (r.type == kBoolErr && r.data.size() >= 8) {
            auto value = static_cast<std::uint8_t>(r.data[6]);
            sheet.cells[Key(U16(r.data, 0), U16(r.data, 2))] =
                r.data[7] ? CellValue::Error(ErrorText(value)) : CellValue::Boolean(value != 0);
        }
        offset = r.next;
    }
}

}  // namespace ledgerlift
