#include "import/xls/BiffScanner.h"

#include "import/core/DateFormat.h"
#include "import/core/DateSerials.h"
#include "import/xls/BiffCursor.h"

#include <algorithm>
#include <cstring>

namespace ledgerlift {
namespace {

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kFormat5 = 0x001E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kFormula = 0x0006;
// The FORMULA record of Excel 4.0, which some programs still write into
// later workbooks; its result lies where the current record's does.
constexpr std::uint16_t kFormula4 = 0x0406;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kRString = 0x00D6;
constexpr std::uint16_t kLabelSst = 0x00FD;

std::uint16_t U16(std::string_view d, std::size_t pos) {
    if (pos + 2 > d.size() || pos + 2 < pos) {
        return 0;
    }
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[pos]) |
                                      (static_cast<unsigned char>(d[pos + 1]) << 8));
}

std::uint32_t U32(std::string_view d, std::size_t pos) {
    return static_cast<std::uint32_t>(U16(d, pos)) |
           (static_cast<std::uint32_t>(U16(d, pos + 2)) << 16);
}

double F64(std::string_view d, std::size_t pos) {
    double value = 0;
    if (pos + 8 <= d.size()) {
        std::memcpy(&value, d.data() + pos, sizeof value);
    }
    return value;
}

double RkValue(std::uint32_t rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
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
        default:
            return "#N/A";
    }
}

bool BiffScanner::IsDateFormat(std::uint16_t xf) const {
    if (xf >= xfFormat_.size()) {
        return false;
    }
    std::uint16_t format = xfFormat_[xf];
    auto it = formats_.find(format);
    return FormatShowsDate(
        format, it == formats_.end() ? std::nullopt : std::optional<std::string_view>(it->second));
}

bool BiffScanner::IsPercentFormat(std::uint16_t xf) const {
    if (xf >= xfFormat_.size()) {
        return false;
    }
    std::uint16_t format = xfFormat_[xf];
    auto it = formats_.find(format);
    return FormatShowsPercent(
        format, it == formats_.end() ? std::nullopt : std::optional<std::string_view>(it->second));
}

bool BiffScanner::ReadRecord(std::size_t offset, Record& out) const {
    if (offset > stream_.size() || stream_.size() - offset < 4) {
        return false;
    }
    std::uint16_t length = U16(stream_, offset + 2);
    if (stream_.size() - offset - 4 < length) {
        return false;
    }
    out = Record{U16(stream_, offset), stream_.substr(offset + 4, length), offset + 4 + length};
    return true;
}

void BiffScanner::Scan(std::string_view stream) {
    *this = BiffScanner(textLimit_, memoryLimit_);
    stream_ = stream;
    sharedStrings_ = std::make_shared<SharedStrings>(textLimit_);
    ScanGlobals();
    if (sharedStringsTooLarge_) {
        sheets_.clear();
        stream_ = {};
        return;
    }
    // A cell names its format record with 16 bits.
    xfIsDate_.resize(std::min<std::size_t>(xfFormat_.size(), 0x10000));
    xfIsPercent_.resize(xfIsDate_.size());
    for (std::size_t xf = 0; xf < xfIsDate_.size(); ++xf) {
        xfIsDate_[xf] = IsDateFormat(static_cast<std::uint16_t>(xf));
        xfIsPercent_[xf] = IsPercentFormat(static_cast<std::uint16_t>(xf));
    }
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        sheets_[i].cells.UseSharedStrings(sharedStrings_);
        if (!ScanSheet(sheetOffsets_[i], sheets_[i].cells, bytes)) {
            sheetsTooLarge_ = std::max<std::uint64_t>(bytes + sheets_[i].cells.Bytes(), 1);
            sheets_.clear();
            break;
        }
        bytes += sheets_[i].cells.Bytes();
    }
    stream_ = {};
}

void BiffScanner::ScanGlobals() {
    Record r;
    if (!ReadRecord(0, r) || r.type != kBof) {
        return;
    }
    std::uint16_t version = U16(r.data, 0);
    if (version != 0x0600 && version != 0x0500) {
        return;
    }
    biffVersion_ = version == 0x0600 ? 8 : 5;
    bool biff8 = biffVersion_ == 8;
    auto reader = [this](std::size_t offset, Record& out) { return ReadRecord(offset, out); };
    std::size_t offset = r.next;
    while (ReadRecord(offset, r) && r.type != kEof) {
        switch (r.type) {
            case kFilePass:
                encrypted_ = true;
                break;
            case kDateMode:
                date1904_ = U16(r.data, 0) == 1;
                break;
            case kCodePage:
                if (!biff8 && r.data.size() >= 2) {  // BIFF8 text is Unicode
                    codePage_ = CodePage(U16(r.data, 0));
                }
                break;
            case kFormat:
            case kFormat5: {
                std::string text;
                BiffCursor(r, 2, reader, codePage_).String(!biff8, biff8, text);
                formats_[U16(r.data, 0)] = text;
                break;
            }
            case kXf:
                xfFormat_.push_back(U16(r.data, 2));
                break;
            case kBoundSheet:
                if (r.data.size() > 6 && r.data[5] == 0) {  // a worksheet
                    Sheet sheet;
                    BiffCursor(r, 6, reader, codePage_).String(true, biff8, sheet.name);
                    sheets_.push_back(std::move(sheet));
                    sheetOffsets_.push_back(U32(r.data, 0));
                }
                break;
            case kSst:
                ReadSharedStrings(r);
                break;
            default:
                break;
        }
        offset = r.next;
    }
}

void BiffScanner::ReadSharedStrings(const Record& sst) {
    std::uint32_t unique = U32(sst.data, 4);
    BiffCursor cursor(
        sst, 8, [this](std::size_t offset, Record& out) { return ReadRecord(offset, out); },
        codePage_);
    std::string text;
    for (std::uint32_t i = 0; i < unique && cursor.String(false, true, text); ++i) {
        if (!sharedStrings_->Fits(text.size())) {
            sharedStringsTooLarge_ = true;
            return;
        }
        sharedStrings_->Add(text);
    }
}

StoredCell BiffScanner::NumberCell(double value, std::uint16_t xf) const {
    if (xf < xfIsDate_.size() && xfIsDate_[xf]) {
        return StoredCell::DateSerial(date1904_ ? SerialFrom1904(value) : value);
    }
    if (xf < xfIsPercent_.size() && xfIsPercent_[xf]) {
        return StoredCell::Percent(value);
    }
    return StoredCell::Number(value);
}

std::string BiffScanner::CellString(const Record& record, std::size_t pos) const {
    std::string text;
    BiffCursor(
        record, pos, [this](std::size_t offset, Record& out) { return ReadRecord(offset, out); },
        codePage_)
        .String(false, biffVersion_ == 8, text);
    return text;
}

StoredCell BiffScanner::FormulaValue(const Record& record, SheetStore& cells) const {
    std::string_view d = record.data;
    std::string_view result = d.substr(6, 8);
    if (U16(result, 6) == 0xFFFF) {
        switch (static_cast<std::uint8_t>(result[0])) {
            case 0: {  // a text; its characters follow in a STRING record
                std::size_t offset = record.next;
                Record next;
                // Shared and array formula records may stand in between.
                for (int skip = 0; skip < 4 && ReadRecord(offset, next); ++skip) {
                    if (next.type == kString) {
                        return cells.Text(CellString(next, 0));
                    }
                    offset = next.next;
                }
                return cells.Text("");
            }
            case 1:
                return StoredCell::Boolean(result[2] != 0);
            case 2:
                return cells.Error(ErrorText(static_cast<std::uint8_t>(result[2])));
            case 3:
                return cells.Text("");
            default:
                return StoredCell::Empty();
        }
    }
    return NumberCell(F64(result, 0), U16(d, 4));
}

bool BiffScanner::ScanSheet(std::size_t offset, SheetStore& cells, std::uint64_t bytesBefore) {
    Record r;
    if (!ReadRecord(offset, r) || r.type != kBof) {
        return true;
    }
    offset = r.next;
    while (ReadRecord(offset, r) && r.type != kEof && r.type != kBof) {
        if (bytesBefore + cells.Bytes() > memoryLimit_) {
            return false;
        }
        const std::string_view d = r.data;
        const std::uint16_t row = U16(d, 0);
        const std::uint16_t col = U16(d, 2);
        const std::uint16_t xf = U16(d, 4);
        // A cell right of the window is left out before its text is kept.
        const bool inWindow = SheetStore::InWindow(row, col);
        switch (r.type) {
            case kNumber:
                if (d.size() >= 14) {
                    cells.Put(row, col, NumberCell(F64(d, 6), xf));
                }
                break;
            case kRk:
                if (d.size() >= 10) {
                    cells.Put(row, col, NumberCell(RkValue(U32(d, 6)), xf));
                }
                break;
            case kMulRk:
                // row, first column, (xf, rk) per column, last column
                for (std::size_t pos = 4, c = col; pos + 6 + 2 <= d.size(); pos += 6, ++c) {
                    cells.Put(row, static_cast<std::uint32_t>(c),
                              NumberCell(RkValue(U32(d, pos + 2)), U16(d, pos)));
                }
                break;
            case kLabelSst:
                if (d.size() >= 10) {
                    // A number beyond the table reads as an empty text.
                    cells.Put(row, col, StoredCell::Shared(U32(d, 6)));
                }
                break;
            case kLabel:
            case kRString:
                if (d.size() >= 8 && inWindow) {
                    cells.Put(row, col, cells.Text(CellString(r, 6)));
                }
                break;
            case kBoolErr:
                if (d.size() >= 8 && inWindow) {
                    auto value = static_cast<std::uint8_t>(d[6]);
                    cells.Put(
                        row, col,
                        d[7] ? cells.Error(ErrorText(value)) : StoredCell::Boolean(value != 0));
                }
                break;
            case kFormula:
            case kFormula4:
                if (d.size() >= 14 && inWindow) {
                    cells.Put(row, col, FormulaValue(r, cells));
                }
                break;
            default:
                break;
        }
        offset = r.next;
    }
    return bytesBefore + cells.Bytes() <= memoryLimit_;
}

}  // namespace ledgerlift
